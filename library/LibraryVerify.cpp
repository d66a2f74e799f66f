// SPDX-License-Identifier: MIT
#include "LibraryVerify.h"

#include "Codepage936.h"
#include "ControlCharacters.h"
#include "LibraryFile.h"
#include "LibraryRecords.h"
#include "Module1.h"
#include "PosixFile.h"
#include "Sentence.h"
#include "SlotTable.h"

#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>

namespace qurimo {

namespace {

// The record walker of the library file, telling the report where the file was cut and
// which texts do not decode.
class Walker {
public:
    Walker(std::string_view bytes, LibraryReport& report) : walker_(bytes), report_(report) {}

    bool reserved(int slot, std::size_t recordStart) {
        std::uint16_t ignored = 0;
        return walker_.word(ignored) || cut(2, slot, recordStart, "Reserved 字段");
    }

    bool text(int slot, std::size_t recordStart, const char* side, std::u16string& decoded) {
        std::uint16_t count = 0;
        if (!walker_.word(count)) {
            return cut(2, slot, recordStart, std::string(side) + "的长度字段");
        }
        const std::size_t at = walker_.position();
        std::string_view raw;
        if (!walker_.take(count, raw)) {
            return cut(count, slot, recordStart, std::string(side) + "文本");
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
                report_.problems.push_back(where + "解码后含有控制字符 " + codePointName(c) +
                                           "，句子中不会有这种字符");
                break;
            }
        }
        return true;
    }

    std::size_t position() const { return walker_.position(); }

private:
    // Reports that the member what of slot needed count bytes the file does not have.
    bool cut(std::size_t count, int slot, std::size_t recordStart, const std::string& what) {
        report_.problems.push_back("第 " + std::to_string(slot) + " 号槽的记录（从偏移 " +
                                   std::to_string(recordStart) + " 开始）被文件尾截断：" + what +
                                   "在偏移 " + std::to_string(walker_.position()) + " 处需要 " +
                                   std::to_string(count) + " 字节，文件只剩 " +
                                   std::to_string(walker_.left()) + " 字节");
        return false;
    }

    RecordWalker walker_;
    LibraryReport& report_;
};

LibraryReport verify(std::string_view bytes, unsigned long long fileSize) {
    LibraryReport report;
    if (fileSize == 0) {
        return report; // what the window creates for a missing library: an empty one
    }
    Walker walker(bytes, report);
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const std::size_t recordStart = walker.position();
        Sentence sentence;
        if (!walker.reserved(slot, recordStart) ||
            !walker.text(slot, recordStart, "中文", sentence.Chinese) ||
            !walker.text(slot, recordStart, "英文", sentence.English)) {
            return report;
        }
        ++report.records;
        report.filledSlots += isFilled(sentence) ? 1 : 0;
    }
    if (fileSize > walker.position()) {
        report.notes.push_back("第 " + std::to_string(SlotTable::SlotCount) + " 条记录之后还有 " +
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
