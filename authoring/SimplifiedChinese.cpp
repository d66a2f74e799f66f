// SPDX-License-Identifier: MIT
#include "SimplifiedChinese.h"

#include "HanScript.h"
#include "LibraryLocation.h"
#include "OpenCCDictionaries.h"
#include "RuntimeError.h"
#include "Utf8.h"

#include <cstdint>
#include <dlfcn.h>
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
    Trie(const std::vector<std::pair<std::string, std::string>>& entries, std::size_t& ids)
        : first_(0x10000, 0), nodes_(1) {
        for (const auto& [key, value] : entries) {
            add(fromUtf8(key), fromUtf8(value), ids);
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
    // The tries of the dictionaries at indices, in order.
    Dictionary(const std::vector<std::size_t>& indices, const std::vector<Trie>& tries) {
        for (const std::size_t index : indices) {
            tries_.push_back(&tries.at(index));
        }
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
    std::vector<const Trie*> tries_;
};

// The module's path: beside the window's program, where both programs find it, installed or
// in the build folder.
std::string modulePath() {
    return windowFolder() + "/" + OpenCCModule;
}

class T2s {
public:
    T2s() {
        const std::string path = modulePath();
        // Kept loaded for the life of the program, as the conversion is.
        void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        const auto read =
            module == nullptr ? nullptr : reinterpret_cast<ReadT2s>(::dlsym(module, ReadT2sSymbol));
        if (read == nullptr) {
            const char* reason = ::dlerror();
            throw RuntimeError(ErrorNumber::FileNotFound, path, 0,
                               std::string("无法载入把繁体字转成简体字的 OpenCC 模块：") +
                                   (reason != nullptr ? reason : "没有它的入口"));
        }
        T2sDictionaries dictionaries;
        read(dictionaries);
        if (!dictionaries.error.empty()) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                               "OpenCC 无法读取它的繁体转简体词典：" + dictionaries.error);
        }
        tries_.reserve(dictionaries.dictionaries.size());
        for (const auto& entries : dictionaries.dictionaries) {
            tries_.emplace_back(entries, keys_);
        }
        segmentation_.emplace(dictionaries.segmentation, tries_);
        for (const std::vector<std::size_t>& conversion : dictionaries.conversions) {
            conversions_.emplace_back(conversion, tries_);
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
    std::vector<Trie> tries_;
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
