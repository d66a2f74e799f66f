// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include "HanScript.h"
#include "PosixFile.h"
#include "RuntimeError.h"
#include "Utf8.h"

#include <cstdint>
#include <exception>
#include <fcntl.h>
#include <map>
#include <new>
#include <opencc/Config.hpp>
#include <opencc/Conversion.hpp>
#include <opencc/ConversionChain.hpp>
#include <opencc/Converter.hpp>
#include <opencc/DictGroup.hpp>
#include <opencc/Exception.hpp>
#include <opencc/Lexicon.hpp>
#include <opencc/MaxMatchSegmentation.hpp>
#include <optional>
#include <unordered_map>

namespace qurimo {

namespace {

// OpenCC converts in two steps: it cuts the text into segments, the longest key of the
// segmentation's dictionary at each place or else a run of what no key starts, then replaces
// in each segment the longest key of each conversion's dictionary in turn by its first value.
// Its own converter takes about 20 s for the largest file (301 texts of 32,767 traditional
// characters), building a string for each character; the same steps over its dictionaries,
// read once into tries, take a small part of a second. (It also stops at a NUL, where this
// goes on.)

// A key of a dictionary and its first value, OpenCC's default; id counts the keys of all
// dictionaries.
struct Entry {
    std::u16string key;
    std::u16string value;
    std::size_t id;
};

// One dictionary's keys as a trie of UTF-16 units.
class Trie {
public:
    Trie(const opencc::Dict& dict, std::size_t& ids) : first_(0x10000, 0), nodes_(1) {
        const opencc::LexiconPtr lexicon = dict.GetLexicon();
        for (const auto& entry : *lexicon) {
            add(fromUtf8(entry->Key()), fromUtf8(entry->GetDefault()), ids);
        }
    }

    // The longest key text starts with; null for none.
    const Entry* longest(std::u16string_view text) const {
        std::uint32_t node = text.empty() ? 0 : first_[text[0]];
        const Entry* found = nullptr;
        for (std::size_t i = 1; node != 0; ++i) {
            if (nodes_[node].entry >= 0) {
                found = &entries_[static_cast<std::size_t>(nodes_[node].entry)];
            }
            if (i == text.size() || !nodes_[node].inner) {
                break;
            }
            const auto next = next_.find(edge(node, text[i]));
            node = next == next_.end() ? 0 : next->second;
        }
        return found;
    }

private:
    struct Node {
        std::int32_t entry = -1; // into entries_
        bool inner = false;      // a longer key goes on
    };

    static std::uint64_t edge(std::uint32_t node, char16_t unit) {
        return static_cast<std::uint64_t>(node) << 16 | unit;
    }

    void add(std::u16string key, std::u16string value, std::size_t& ids) {
        if (key.empty()) {
            return;
        }
        std::uint32_t* slot = &first_[key[0]];
        for (std::size_t i = 0;; ++i) {
            if (*slot == 0) {
                *slot = static_cast<std::uint32_t>(nodes_.size());
                nodes_.emplace_back();
            }
            const std::uint32_t node = *slot;
            if (i + 1 == key.size()) {
                if (nodes_[node].entry < 0) {
                    nodes_[node].entry = static_cast<std::int32_t>(entries_.size());
                    entries_.push_back({std::move(key), std::move(value), ids++});
                }
                return;
            }
            nodes_[node].inner = true;
            slot = &next_[edge(node, key[i + 1])];
        }
    }

    std::vector<std::uint32_t> first_; // the node of each first unit; 0 for none
    std::vector<Node> nodes_;          // node 0 stands for none
    std::unordered_map<std::uint64_t, std::uint32_t> next_;
    std::vector<Entry> entries_;
};

// The filter of one conversion, and what it said of each key so far: a file of thousands of
// one character asks it once.
struct Filtered {
    const ReplacementFilter& filter;
    std::vector<std::int8_t> made; // by Entry::id: -1 not asked, 0 no, 1 yes

    bool allows(const Entry& entry) {
        std::int8_t& answer = made[entry.id];
        if (answer < 0) {
            answer = filter(entry.key, entry.value) ? 1 : 0;
        }
        return answer == 1;
    }
};

// A dictionary as OpenCC matches it: a group's dictionaries in order, the first with a key
// text starts with giving its longest.
class Dictionary {
public:
    Dictionary(const opencc::DictPtr& dict, std::map<const opencc::Dict*, Trie>& tries,
               std::size_t& ids) {
        add(dict, tries, ids);
    }

    const Entry* longest(std::u16string_view text) const {
        for (const Trie* trie : tries_) {
            if (const Entry* entry = trie->longest(text)) {
                return entry;
            }
        }
        return nullptr;
    }

    void appendConverted(std::u16string_view text, std::u16string& out, Filtered* filtered) const {
        for (std::size_t i = 0; i < text.size();) {
            if (const Entry* entry = longest(text.substr(i))) {
                out += filtered == nullptr || filtered->allows(*entry) ? entry->value : entry->key;
                i += entry->key.size();
            } else {
                out += text[i++]; // no key starts inside a character
            }
        }
    }

private:
    void add(const opencc::DictPtr& dict, std::map<const opencc::Dict*, Trie>& tries,
             std::size_t& ids) {
        if (const auto group = std::dynamic_pointer_cast<opencc::DictGroup>(dict)) {
            for (const opencc::DictPtr& member : group->GetDicts()) {
                add(member, tries, ids);
            }
            return;
        }
        auto found = tries.find(dict.get());
        if (found == tries.end()) {
            found = tries.try_emplace(dict.get(), *dict, ids).first;
        }
        tries_.push_back(&found->second);
    }

    std::vector<const Trie*> tries_;
};

// t2s.json names its dictionaries by file name, which OpenCC looks for in the working
// directory first: a TSPhrases.ocd2 there would be read instead of OpenCC's own. Each name
// becomes a path in OpenCC's data folder.
std::string withDataPaths(std::string json) {
    const std::string folder = QURIMO_OPENCC_DATA "/";
    for (std::size_t at = json.find("\"file\""); at != std::string::npos;
         at = json.find("\"file\"", at + 1)) {
        const std::size_t quote = json.find_first_not_of(" \t\r\n:", at + 6);
        if (quote != std::string::npos && json[quote] == '"' && json[quote + 1] != '/') {
            json.insert(quote + 1, folder);
        }
    }
    return json;
}

class T2s {
public:
    T2s() {
        const std::string path = QURIMO_OPENCC_DATA "/t2s.json";
        const FileDescriptor file = openRegularFile(path, O_RDONLY);
        const std::string json = withDataPaths(readUpTo(file.get(), 1 << 20, path));
        const auto unreadable = [&path](const char* reason) {
            return RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                                std::string("OpenCC 无法读取它的繁体转简体词典：") + reason);
        };
        opencc::ConverterPtr converter;
        try {
            converter = opencc::Config().NewFromString(json, QURIMO_OPENCC_DATA);
        } catch (const opencc::Exception& error) { // not a std::exception
            throw unreadable(error.what());
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& error) {
            throw unreadable(error.what());
        }
        const auto segmentation =
            std::dynamic_pointer_cast<opencc::MaxMatchSegmentation>(converter->GetSegmentation());
        if (!segmentation) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                               "OpenCC 的这个配置不按最长匹配切分文本");
        }
        segmentation_.emplace(segmentation->GetDict(), tries_, keys_);
        for (const opencc::ConversionPtr& conversion :
             converter->GetConversionChain()->GetConversions()) {
            conversions_.emplace_back(conversion->GetDict(), tries_, keys_);
        }
    }

    std::u16string convert(std::u16string_view text, const ReplacementFilter& filter) const {
        std::optional<Filtered> filtered;
        if (filter) {
            filtered.emplace(Filtered{filter, std::vector<std::int8_t>(keys_, -1)});
        }
        Filtered* const made = filtered ? &*filtered : nullptr;
        std::u16string simplified;
        simplified.reserve(text.size());
        std::size_t run = 0; // the start of the text since the last key
        for (std::size_t i = 0; i < text.size();) {
            const Entry* entry = segmentation_->longest(text.substr(i));
            if (entry == nullptr) {
                ++i;
                continue;
            }
            convertSegment(text.substr(run, i - run), simplified, made);
            convertSegment(text.substr(i, entry->key.size()), simplified, made);
            i += entry->key.size();
            run = i;
        }
        convertSegment(text.substr(run), simplified, made);
        return simplified;
    }

private:
    void convertSegment(std::u16string_view segment, std::u16string& out, Filtered* made) const {
        if (segment.empty()) {
            return;
        }
        std::u16string held;
        for (std::size_t k = 0; k + 1 < conversions_.size(); ++k) {
            std::u16string next;
            conversions_[k].appendConverted(segment, next, made);
            held = std::move(next);
            segment = held;
        }
        if (conversions_.empty()) {
            out += segment;
        } else {
            conversions_.back().appendConverted(segment, out, made);
        }
    }

    std::size_t keys_ = 0; // of all dictionaries
    std::map<const opencc::Dict*, Trie> tries_;
    std::optional<Dictionary> segmentation_;
    std::vector<Dictionary> conversions_;
};

// Made on first need: the window's start-up never converts.
const T2s& t2s() {
    static const T2s made;
    return made;
}

} // namespace

std::u16string toSimplified(std::u16string_view text, const ReplacementFilter& made) {
    return t2s().convert(text, made);
}

std::vector<std::u16string> searchForms(const std::u16string& keyword) {
    if (!holdsHan(keyword)) {
        return {keyword};
    }
    std::u16string simplified = toSimplified(keyword);
    if (simplified == keyword) {
        return {keyword};
    }
    return {std::move(simplified), keyword};
}

} // namespace qurimo
