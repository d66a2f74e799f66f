// SPDX-License-Identifier: MIT
#include "ControlCharacters.h"

namespace qurimo {

bool isControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

std::u16string escapeControls(std::u16string_view text, std::u16string_view kept) {
    constexpr std::u16string_view Digits = u"0123456789abcdef";
    std::u16string shown;
    shown.reserve(text.size());
    for (char16_t c : text) {
        if (isControlCharacter(c) && kept.find(c) == std::u16string_view::npos) {
            shown += u"\\x";
            shown += Digits[c >> 4];
            shown += Digits[c & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace qurimo
