// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>
#include <vector>

namespace qurimo {

enum class SearchSide {
    English,
    Chinese, // for a reader who knows what to say in Chinese and looks for the English
};

// The side a keyword is looked for on: the Chinese when it holds a Chinese character, which
// no English sentence does, the English otherwise. The window and qurimo-lib search agree.
SearchSide sideOf(const std::u16string& keyword);

// The slots of a decoded table whose text on side holds one of keywords (KeywordMatcher), in
// slot order: the hits of a search, blank slots among them, which a list leaves out. The
// keywords are the forms of what was typed (a traditional keyword, and its simplified form).
std::vector<int> FindSentences(const SlotTable& decoded,
                               const std::vector<std::u16string>& keywords, SearchSide side);

} // namespace qurimo
