// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>
#include <vector>

namespace qurimo {

enum class SearchSide {
    English, // the window's search
    Chinese, // for a reader who knows the Chinese and looks for the English
};

// The slots of a decoded table whose text on side holds keyword (KeywordMatcher), in slot
// order: the hits of the window's search, blank slots among them, which a list leaves out.
std::vector<int> FindSentences(const SlotTable& decoded, const std::u16string& keyword,
                               SearchSide side);

} // namespace qurimo
