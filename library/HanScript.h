// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace qurimo {

// Whether c is a Chinese character (Unicode's Han script, traditional and rare ones included).
bool isHan(char32_t c);

// Whether text holds at least one Chinese character.
bool holdsHan(std::u16string_view text);

} // namespace qurimo
