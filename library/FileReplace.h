// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace qurimo {

// What becomes of the bytes of an existing file beyond the end of the new contents.
enum class OldTail {
    Keep, // the library's way: a file is never shortened
    Drop, // a byte-for-byte copy
};

// Replaces the contents of the regular file at path by bytes, creating it if missing. The new
// contents are made whole in a new file of the same folder and then renamed over the old one,
// so a failure leaves the old file byte for byte as it was, or absent, and no other file
// behind. A link is followed and its target replaced. An existing file keeps its permissions
// and, where the user may give it, its owner; one the user may not write is run-time error 75
// and left alone, as is anything but a regular file.
void ReplaceFile(const std::string& path, std::string_view bytes, OldTail tail);

} // namespace qurimo
