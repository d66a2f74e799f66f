// SPDX-License-Identifier: MIT
#include "KeywordMatcher.h"

#include "IcuError.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace qurimo {

namespace {

const icu::Normalizer2& caseFolding() {
    static const icu::Normalizer2* normalizer = [] {
        UErrorCode error = U_ZERO_ERROR;
        const icu::Normalizer2* n = icu::Normalizer2::getNFKCCasefoldInstance(error);
        requireIcu(error, "载入 NFKC_Casefold 规范化数据");
        return n;
    }();
    return *normalizer;
}

char16_t plainQuote(char16_t c) {
    switch (c) {
    case u'\u2018':
    case u'\u2019':
        return u'\'';
    case u'\u201C':
    case u'\u201D':
        return u'"';
    default:
        return c;
    }
}

} // namespace

std::u16string KeywordMatcher::fold(const std::u16string& text) {
    std::u16string plain = text;
    for (char16_t& c : plain) {
        c = plainQuote(c);
    }
    const icu::UnicodeString source(plain.data(), static_cast<int32_t>(plain.size()));
    UErrorCode error = U_ZERO_ERROR;
    const icu::UnicodeString folded = caseFolding().normalize(source, error);
    requireIcu(error, "规范化关键字和例句");
    return std::u16string(folded.getBuffer(), static_cast<std::size_t>(folded.length()));
}

KeywordMatcher::KeywordMatcher(const std::u16string& keyword)
    : folded_(fold(keyword)), fallback_(folded_.size(), 0) {
    std::size_t matched = 0;
    for (std::size_t i = 1; i < folded_.size(); ++i) {
        while (matched > 0 && folded_[i] != folded_[matched]) {
            matched = fallback_[matched - 1];
        }
        if (folded_[i] == folded_[matched]) {
            ++matched;
        }
        fallback_[i] = matched;
    }
}

bool KeywordMatcher::occursIn(const std::u16string& text) const {
    if (text.empty()) {
        return false;
    }
    if (folded_.empty()) {
        return true;
    }
    std::size_t matched = 0;
    for (const char16_t c : fold(text)) {
        while (matched > 0 && c != folded_[matched]) {
            matched = fallback_[matched - 1];
        }
        if (c == folded_[matched] && ++matched == folded_.size()) {
            return true;
        }
    }
    return false;
}

} // namespace qurimo
