// SPDX-License-Identifier: MIT
#pragma once

#include "RuntimeError.h"
#include "SlotTable.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qurimo {

// A library file is 301 records, one a slot: the 16-bit Reserved word, then the Chinese and
// the English text, each a 16-bit length and that many code page 936 bytes; every word is
// little endian. Nothing else is in the file; a longer file's tail is not read.

// The longest text a record can hold, in bytes.
inline constexpr std::size_t MaxTextBytes = 0xFFFF;
// No library file can hold more than this: 301 records of two maximal texts.
inline constexpr std::size_t MaxLibraryBytes = SlotTable::SlotCount * (6 + 2 * MaxTextBytes);

// Run-time error 6 for a text of bytes code page 936 bytes, more than a record holds; line,
// when not 0, is the line of path that holds the text.
RuntimeError textTooLong(const std::string& path, long line, std::size_t bytes);

// The code page 936 bytes of text, as a record holds them; textTooLong when they are more
// than MaxTextBytes.
std::string recordBytes(std::u16string_view text, const std::string& path, long line = 0);

// Reads the members of the records of a library file in order. A member the file ends
// inside is not taken and leaves the position where it starts, so a reader can say where
// the file was cut.
class RecordWalker {
public:
    explicit RecordWalker(std::string_view bytes) : bytes_(bytes) {}

    // The next count bytes; false when fewer are left.
    bool take(std::size_t count, std::string_view& out);
    // The next 16-bit word; false when fewer than two bytes are left.
    bool word(std::uint16_t& value);

    std::size_t position() const { return position_; }
    std::size_t left() const { return bytes_.size() - position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

} // namespace qurimo
