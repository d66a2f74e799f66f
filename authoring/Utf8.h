// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qurimo {

// UTF-8, the encoding of the terminal and of the tool's arguments. Malformed input becomes
// U+FFFD; authoring files are decoded strictly instead (decodeAuthoring), so that bytes that
// do not decode are named as bytes.
std::string toUtf8(std::u16string_view text);
std::u16string fromUtf8(std::string_view bytes);

// UTF-8 text as a terminal is shown it: its control characters as visible escapes
// (escapeControls) but those in kept; malformed UTF-8 becomes U+FFFD, which no terminal obeys.
std::string escapeControlsUtf8(std::string_view text, std::u16string_view kept = {});

// The byte-order mark as UTF-8 writes it.
inline constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// The characters of text, a surrogate pair counting as one: how the errors count columns.
std::size_t codePoints(std::u16string_view text);

// Strict UTF-8: false, and out empty, for any malformed sequence, surrogate or overlong form.
bool decodeUtf8(std::string_view bytes, std::u16string& out);
// Whether bytes are strict UTF-8, without decoding them.
bool isUtf8(std::string_view bytes);

} // namespace qurimo
