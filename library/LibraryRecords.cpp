// SPDX-License-Identifier: MIT
#include "LibraryRecords.h"

namespace qurimo {

bool RecordWalker::take(std::size_t count, std::string_view& out) {
    if (left() < count) {
        return false;
    }
    out = bytes_.substr(position_, count);
    position_ += count;
    return true;
}

bool RecordWalker::word(std::uint16_t& value) {
    std::string_view bytes;
    if (!take(2, bytes)) {
        return false;
    }
    value = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                       static_cast<unsigned char>(bytes[1]) << 8);
    return true;
}

} // namespace qurimo
