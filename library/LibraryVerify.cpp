// SPDX-License-Identifier: MIT
#include "LibraryVerify.h"

#include "Codepage936.h"
#include "ControlCharacters.h"
#include "FileError.h"
#include "LibraryRecords.h"
#include "Module1.h"
#include "PosixFile.h"
#include "Sentence.h"
#include "SlotTable.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>

namespace qurimo {

namespace {

// The decoded text of one record member, with what is wrong with it added to the report.
std::u16string checkedText(const RecordWalker& walker, std::string_view raw, int slot,
                           const char* side, LibraryReport& report) {
    Codepage936& codepage = Codepage936::instance();
    std::u16string decoded = DecodeText(codepage.toUnicode(raw));
    const auto where = [&] {
        return "第 " + std::to_string(slot) + " 号槽的" + side + "（偏移 " +
               std::to_string(walker.offsetOf(raw)) + "，" + std::to_string(raw.size()) + " 字节）";
    };
    if (codepage.fromUnicode(EncodeText(decoded)) != raw) {
        report.problems.push_back(where() + "不能解码为代码页 936 的字符");
        return decoded;
    }
    const auto control = std::find_if(decoded.begin(), decoded.end(),
                                      [](char16_t c) { return isControlCharacter(c); });
    if (control != decoded.end()) {
        report.problems.push_back(where() + "解码后含有控制字符 " + codePointName(*control) +
                                  "，句子中不会有这种字符");
    }
    return decoded;
}

std::string describeCut(int slot, const Cut& cut) {
    return "第 " + std::to_string(slot) + " 号槽的记录（从偏移 " + std::to_string(cut.recordStart) +
           " 开始）被文件尾截断：" + cut.member + "在偏移 " + std::to_string(cut.at) + " 处需要 " +
           std::to_string(cut.needed) + " 字节，文件只剩 " + std::to_string(cut.left) + " 字节";
}

LibraryReport verify(std::string_view bytes, unsigned long long fileSize) {
    LibraryReport report;
    if (fileSize == 0) {
        return report; // what the window creates for a missing library: an empty one
    }
    RecordWalker walker(bytes);
    Record record;
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const bool whole = walker.next(record);
        Sentence& sentence = report.decoded.at(slot);
        sentence.Reserved = static_cast<std::int16_t>(record.reserved);
        sentence.Chinese = checkedText(walker, record.chinese, slot, "中文", report);
        sentence.English = checkedText(walker, record.english, slot, "英文", report);
        if (!whole) {
            report.problems.push_back(describeCut(slot, walker.cut()));
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

LibraryReport verifyLibraryFile(const std::string& path) {
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    const std::string bytes = readUpTo(file.get(), MaxLibraryBytes, path);
    struct stat info {};
    if (::fstat(file.get(), &info) != 0) {
        throwFileError(errno, path);
    }
    const auto size = static_cast<unsigned long long>(info.st_size);
    return verify(bytes, size > bytes.size() ? size : bytes.size());
}

LibraryReport verifyLibrary(std::string_view bytes) {
    return verify(bytes, bytes.size());
}

} // namespace qurimo
