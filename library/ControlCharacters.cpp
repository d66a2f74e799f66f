// SPDX-License-Identifier: MIT
#include "ControlCharacters.h"

#include <cstdio>

namespace qurimo {

bool isControlCharacter(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0x061C || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

std::string codePointName(char32_t c) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
    return name;
}

std::u16string escapeControls(std::u16string_view text, std::u16string_view kept) {
    constexpr std::u16string_view Digits = u"0123456789abcdef";
    std::u16string shown;
    shown.reserve(text.size());
    for (char16_t c : text) {
        if (!isControlCharacter(c) || kept.find(c) != std::u16string_view::npos) {
            shown += c;
            continue;
        }
        const bool wide = c > 0xFF;
        shown += wide ? u"\\u" : u"\\x";
        for (int shift = wide ? 12 : 4; shift >= 0; shift -= 4) {
            shown += Digits[(c >> shift) & 0xF];
        }
    }
    return shown;
}

} // namespace qurimo
