// SPDX-License-Identifier: MIT
#include "LibraryRecords.h"

#include "Codepage936.h"

namespace qurimo {

RuntimeError textTooLong(const std::string& path, long line, std::size_t bytes) {
    return RuntimeError(ErrorNumber::Overflow, path, line,
                        (line > 0 ? "这一行长 " : "文本长 ") + std::to_string(bytes) +
                            " 字节，超过库文件允许的 " + std::to_string(MaxTextBytes) + " 字节");
}

std::string recordBytes(std::u16string_view text, const std::string& path, long line) {
    std::string bytes = Codepage936::instance().fromUnicode(text);
    if (bytes.size() > MaxTextBytes) {
        throw textTooLong(path, line, bytes.size());
    }
    return bytes;
}

bool RecordWalker::next(Record& record) {
    record = Record{};
    recordStart_ = position_;
    std::uint16_t length = 0;
    return word(record.reserved, "Reserved 字段") && word(length, "中文的长度字段") &&
           take(length, record.chinese, "中文文本") && word(length, "英文的长度字段") &&
           take(length, record.english, "英文文本");
}

bool RecordWalker::take(std::size_t count, std::string_view& out, const char* member) {
    const std::size_t left = bytes_.size() - position_;
    if (left < count) {
        cut_ = {recordStart_, member, position_, count, left};
        return false;
    }
    out = bytes_.substr(position_, count);
    position_ += count;
    return true;
}

bool RecordWalker::word(std::uint16_t& value, const char* member) {
    std::string_view bytes;
    if (!take(2, bytes, member)) {
        return false;
    }
    value = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                       static_cast<unsigned char>(bytes[1]) << 8);
    return true;
}

} // namespace qurimo
