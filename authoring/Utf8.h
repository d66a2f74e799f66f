// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// UTF-8, the other encoding of authoring text and of the terminal. Malformed input becomes
// U+FFFD, which the scramble check then names, rather than an error of its own.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view bytes);

} // namespace qurimo
