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

// One record as the file holds it, its texts still code page 936 bytes. A member the file
// ends inside, and every member after it, stays 0 or empty.
struct Record {
    std::uint16_t reserved = 0;
    std::string_view chinese;
    std::string_view english;
};

// Where the file ends inside a record.
struct Cut {
    std::size_t recordStart; // the offset of the record
    const char* member;      // the member the file ends inside, named for a report
    std::size_t at;          // the offset of that member
    std::size_t needed;      // the bytes it takes
    std::size_t left;        // the bytes the file has from there
};

// Reads the records of a library file in order, for the window and for verify alike.
class RecordWalker {
public:
    explicit RecordWalker(std::string_view bytes) : bytes_(bytes) {}

    // The next record; false when the file ends inside it, which cut() then describes.
    bool next(Record& record);

    const Cut& cut() const { return cut_; }
    std::size_t position() const { return position_; }
    // The offset of a text of a record read, within the file.
    std::size_t offsetOf(std::string_view text) const {
        return static_cast<std::size_t>(text.data() - bytes_.data());
    }

private:
    bool take(std::size_t count, std::string_view& out, const char* member);
    bool word(std::uint16_t& value, const char* member);

    std::string_view bytes_;
    std::size_t position_ = 0;
    std::size_t recordStart_ = 0;
    Cut cut_{};
};

} // namespace qurimo
