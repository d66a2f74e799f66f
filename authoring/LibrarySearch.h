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

// The filled slots of a decoded table whose text on side holds keyword, compared as the
// window's search compares (KeywordMatcher), in slot order.
std::vector<int> FindSentences(const SlotTable& decoded, const std::u16string& keyword,
                               SearchSide side);

} // namespace qurimo
