// SPDX-License-Identifier: MIT
#include "LibraryVerify.h"

#include "Codepage936.h"
#include "ControlCharacters.h"
#include "LibraryFile.h"
#include "Module1.h"
#include "PosixFile.h"
#include "Sentence.h"
#include "SlotTable.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace qurimo {

namespace {

std::string hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", value);
    return text;
}

class Walker {
public:
    Walker(std::string_view bytes, LibraryReport& report) : bytes_(bytes), report_(report) {}

    // Reads count bytes of the member what of slot; false, with the cut reported, when the
    // file ends first.
    bool take(std::size_t count, int slot, std::size_t recordStart, const char* what,
              std::string_view& out) {
        if (bytes_.size() - position_ < count) {
            report_.problems.push_back("第 " + std::to_string(slot) + " 号槽的记录（从偏移 " +
                                       std::to_string(recordStart) + " 开始）被文件尾截断：" +
                                       what + "在偏移 " + std::to_string(position_) + " 处需要 " +
                                       std::to_string(count) + " 字节，文件只剩 " +
                                       std::to_string(bytes_.size() - position_) + " 字节");
            return false;
        }
        out = bytes_.substr(position_, count);
        position_ += count;
        return true;
    }

    bool text(int slot, std::size_t recordStart, const char* side, std::u16string& decoded) {
        std::string_view field;
        const std::string length = std::string(side) + "的长度字段";
        if (!take(2, slot, recordStart, length.c_str(), field)) {
            return false;
        }
        const std::size_t count = static_cast<unsigned char>(field[0]) |
                                  static_cast<std::size_t>(static_cast<unsigned char>(field[1]))
                                      << 8;
        const std::size_t at = position_;
        const std::string member = std::string(side) + "文本";
        std::string_view raw;
        if (!take(count, slot, recordStart, member.c_str(), raw)) {
            return false;
        }
        Codepage936& codepage = Codepage936::instance();
        decoded = DecodeText(codepage.toUnicode(raw));
        const std::string where = "第 " + std::to_string(slot) + " 号槽的" + side + "（偏移 " +
                                  std::to_string(at) + "，" + std::to_string(count) + " 字节）";
        if (codepage.fromUnicode(EncodeText(decoded)) != raw) {
            report_.problems.push_back(where + "不能解码为代码页 936 的字符");
            return true;
        }
        for (char16_t c : decoded) {
            if (isControlCharacter(c)) {
                report_.problems.push_back(where + "解码后含有控制字符 " + hex(c) +
                                           "，句子中不会有这种字符");
                break;
            }
        }
        return true;
    }

    std::size_t position() const { return position_; }

private:
    std::string_view bytes_;
    LibraryReport& report_;
    std::size_t position_ = 0;
};

LibraryReport verify(std::string_view bytes, unsigned long long fileSize) {
    LibraryReport report;
    if (fileSize == 0) {
        return report; // what the window creates for a missing library: an empty one
    }
    Walker walker(bytes, report);
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const std::size_t recordStart = walker.position();
        std::string_view reserved;
        Sentence sentence;
        if (!walker.take(2, slot, recordStart, "Reserved 字段", reserved) ||
            !walker.text(slot, recordStart, "中文", sentence.Chinese) ||
            !walker.text(slot, recordStart, "英文", sentence.English)) {
            return report;
        }
        ++report.records;
        report.filledSlots += isFilled(sentence) ? 1 : 0;
    }
    if (fileSize > walker.position()) {
        report.notes.push_back("第 301 条记录之后还有 " +
                               std::to_string(fileSize - walker.position()) +
                               " 字节（覆盖更长的旧库时留下的），窗口不读取它们");
    }
    return report;
}

} // namespace

LibraryReport VerifyLibraryFile(const std::string& path) {
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    const std::string bytes = readUpTo(file.get(), MaxLibraryBytes, path);
    struct stat info {};
    ::fstat(file.get(), &info);
    const auto size = static_cast<unsigned long long>(info.st_size);
    LibraryReport report = verify(bytes, size > bytes.size() ? size : bytes.size());
    parseLibrary(bytes, report.decoded);
    DecodeTable(report.decoded);
    return report;
}

LibraryReport VerifyLibrary(std::string_view bytes) {
    return verify(bytes, bytes.size());
}

} // namespace qurimo
