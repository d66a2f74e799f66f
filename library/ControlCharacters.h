// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// What no sentence holds (code page 936 has none) and a terminal obeys or reorders or breaks
// its line by, unseen: C0, DEL, C1, the bidirectional controls and U+2028, U+2029.
bool isControlCharacter(char32_t c);

// How messages name a character by its code: "U+0009", "U+1F600".
std::string codePointName(char32_t c);

// text with every control character except those in kept written as a visible escape, "\x1b"
// for ESC and "\u202e" for RIGHT-TO-LEFT OVERRIDE, as a terminal must be shown it.
std::u16string escapeControls(std::u16string_view text, std::u16string_view kept = {});

} // namespace qurimo
