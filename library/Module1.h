// SPDX-License-Identifier: MIT
#pragma once

#include "SlotTable.h"

#include <string>

namespace qurimo {

// The scramble of the library file: every character's code page 936 code shifted by 20 in
// 16-bit signed arithmetic, one character (UTF-16 unit) at a time.
std::u16string EncodeText(const std::u16string& text);
std::u16string DecodeText(const std::u16string& text);

// Decodes both strings of every slot in place, as a library file's texts are read.
void decodeTable(SlotTable& table);

} // namespace qurimo
