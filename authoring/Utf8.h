// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// UTF-8, the encoding of the terminal and of the tool's arguments. Malformed input becomes
// U+FFFD; authoring files are decoded strictly instead (decodeAuthoring), so that bytes that
// do not decode are named as bytes.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view bytes);

} // namespace qurimo
