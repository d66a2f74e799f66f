// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include "RuntimeError.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unicode/translit.h>
#include <unicode/uniset.h>
#include <unordered_map>
#include <unordered_set>

namespace qurimo {

namespace {

// ICU's Traditional-Simplified transliterator, and its rules as a table when they are all
// plain "phrase > phrase;" rules without context, as ICU ships them. ICU refuses a rule that
// an earlier one masks, so the first rule that matches is the longest: a longest match from
// the table gives what the transliterator gives, at a small part of its cost per character
// (a file full of traditional characters took seconds).
struct Converter {
    std::unique_ptr<icu::Transliterator> transliterator;
    std::mutex mutex; // the transliterator is not to be used by two threads at once
    std::unordered_map<std::u16string, std::u16string> replacement; // empty: no table
    std::array<std::uint8_t, 0x10000> longest{}; // the longest phrase starting with a character
    std::unordered_set<std::uint32_t> starts;    // the first two characters of longer phrases
    std::array<char16_t, 0x10000> single{};      // one character for one, without a look-up
};

std::uint32_t pairOf(char16_t first, char16_t second) {
    return static_cast<std::uint32_t>(first) << 16 | second;
}

// The characters of "\u4E8E\u98DB", as toRules writes them when told to escape; false for
// anything else.
bool unescape(std::u16string_view text, std::u16string& characters) {
    characters.clear();
    if (text.size() % 6 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += 6) {
        if (text[i] != u'\\' || text[i + 1] != u'u') {
            return false;
        }
        unsigned value = 0;
        for (std::size_t k = i + 2; k < i + 6; ++k) {
            const char16_t c = text[k];
            const int digit = c >= u'0' && c <= u'9'   ? c - u'0'
                              : c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                       : -1;
            if (digit < 0) {
                return false;
            }
            value = value * 16 + static_cast<unsigned>(digit);
        }
        characters += static_cast<char16_t>(value);
    }
    return true;
}

// Fills the table from the rules, one "key > value;" a line; leaves it empty if a rule is
// anything else, and the transliterator does the work.
void readRules(Converter& converter) {
    icu::UnicodeString written;
    converter.transliterator->toRules(written, true);
    const std::u16string rules(written.getBuffer(), static_cast<std::size_t>(written.length()));
    std::u16string key;
    std::u16string value;
    for (std::size_t start = 0; start < rules.size();) {
        std::size_t end = rules.find(u'\n', start);
        end = end == std::u16string::npos ? rules.size() : end;
        const std::u16string_view line(rules.data() + start, end - start);
        const std::size_t arrow = line.find(u" > ");
        if (arrow == std::u16string_view::npos || !line.ends_with(u';') ||
            !unescape(line.substr(0, arrow), key) ||
            !unescape(line.substr(arrow + 3, line.size() - arrow - 4), value) || key.empty() ||
            key.size() > 255 || converter.replacement.contains(key)) {
            converter.replacement.clear();
            return;
        }
        std::uint8_t& longest = converter.longest[key.front()];
        longest = std::max(longest, static_cast<std::uint8_t>(key.size()));
        if (key.size() > 1) {
            converter.starts.insert(pairOf(key[0], key[1]));
        } else if (value.size() == 1 && value[0] != 0) {
            converter.single[key[0]] = value[0];
        }
        converter.replacement.emplace(key, value);
        start = end + 1;
    }
}

// Made once: building the transliterator from its rules takes far longer than a file's
// conversion.
Converter& converter() {
    static Converter made;
    static std::once_flag once;
    std::call_once(once, [] {
        UErrorCode error = U_ZERO_ERROR;
        made.transliterator.reset(
            icu::Transliterator::createInstance("Traditional-Simplified", UTRANS_FORWARD, error));
        if (U_FAILURE(error)) {
            made.transliterator.reset();
            return;
        }
        readRules(made);
        // Its rules replace strings of the characters they change, so a filter of those
        // characters changes nothing but the time, should the transliterator do the work.
        icu::UnicodeSet changed;
        made.transliterator->getSourceSet(changed);
        made.transliterator->adoptFilter(changed.freeze()->clone());
    });
    return made;
}

} // namespace

std::u16string toSimplified(std::u16string_view text) {
    Converter& c = converter();
    if (!c.transliterator) {
        throw RuntimeError(ErrorNumber::InvalidCall, {}, 0,
                           "这个系统的 ICU 没有繁体转简体的转换 (Traditional-Simplified)");
    }
    if (c.replacement.empty()) {
        icu::UnicodeString converted(text.data(), static_cast<int32_t>(text.size()));
        const std::lock_guard lock(c.mutex);
        c.transliterator->transliterate(converted);
        return std::u16string(converted.getBuffer(), static_cast<std::size_t>(converted.length()));
    }
    std::u16string simplified;
    simplified.reserve(text.size());
    std::u16string key;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = std::min<std::size_t>(c.longest[text[i]], text.size() - i);
        if (length > 1 && !c.starts.contains(pairOf(text[i], text[i + 1]))) {
            length = 1; // no longer phrase starts here: one look-up, not one per length
        }
        if (length == 1 && c.single[text[i]] != 0) {
            simplified += c.single[text[i]];
            ++i;
            continue;
        }
        for (; length > 0; --length) {
            key.assign(text.substr(i, length));
            if (const auto found = c.replacement.find(key); found != c.replacement.end()) {
                simplified += found->second;
                break;
            }
        }
        if (length == 0) {
            simplified += text[i];
            length = 1;
        }
        i += length;
    }
    return simplified;
}

} // namespace qurimo
