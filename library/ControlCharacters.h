// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// The characters no sentence holds, which a terminal takes for commands: C0 (U+0000 to
// U+001F), DEL (U+007F) and C1 (U+0080 to U+009F).
bool isControlCharacter(char32_t c);

// text with every control character except those in kept written as a visible escape, "\x1b"
// for ESC, as a terminal must be shown it.
std::u16string escapeControls(std::u16string_view text, std::u16string_view kept = {});

} // namespace qurimo
