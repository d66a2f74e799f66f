// SPDX-License-Identifier: MIT
#include "LibrarySearch.h"

#include "HanScript.h"
#include "KeywordMatcher.h"

#include <algorithm>

namespace qurimo {

SearchSide sideOf(const std::u16string& keyword) {
    return holdsHan(keyword) ? SearchSide::Chinese : SearchSide::English;
}

std::vector<int> FindSentences(const SlotTable& decoded,
                               const std::vector<std::u16string>& keywords, SearchSide side) {
    const std::vector<KeywordMatcher> matchers(keywords.begin(), keywords.end());
    std::vector<int> hits;
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const Sentence& sentence = decoded.at(slot);
        const std::u16string& text =
            side == SearchSide::English ? sentence.English : sentence.Chinese;
        if (std::any_of(matchers.begin(), matchers.end(),
                        [&text](const KeywordMatcher& m) { return m.occursIn(text); })) {
            hits.push_back(slot);
        }
    }
    return hits;
}

} // namespace qurimo
