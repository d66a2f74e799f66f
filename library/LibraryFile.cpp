// SPDX-License-Identifier: MIT
#include "LibraryFile.h"

#include "Codepage936.h"
#include "FileError.h"
#include "FileReplace.h"
#include "LibraryRecords.h"
#include "Module1.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

namespace {

// The window's way with a missing library: create it empty (through a dangling link too, as
// opening would), then read it like any other.
void createIfMissing(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) {
        return;
    }
    FileDescriptor created(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (created.get() < 0) {
        throwFileError(errno, path);
    }
}

void appendWord(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void appendText(std::string& out, const std::u16string& text, const std::string& path) {
    const std::string bytes = recordBytes(text, path);
    appendWord(out, static_cast<std::uint16_t>(bytes.size()));
    out += bytes;
}

} // namespace

void ReadLibraryFile(const std::string& path, SlotTable& table, MissingFile missing) {
    if (missing == MissingFile::Create) {
        createIfMissing(path);
    }
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    const std::string bytes = readUpTo(file.get(), MaxLibraryBytes, path);
    file.close();

    parseLibrary(bytes, table);
}

std::string readLibraryBytes(const std::string& path) {
    FileDescriptor file = openRegularFile(path, O_RDONLY);
    std::string bytes = readUpTo(file.get(), MaxLibraryBytes + 1, path);
    if (bytes.size() > MaxLibraryBytes) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                           "文件比任何库文件都长（库文件最长为 " + std::to_string(MaxLibraryBytes) +
                               " 字节）");
    }
    return bytes;
}

SlotTable readDecodedLibrary(const std::string& path) {
    SlotTable table;
    ReadLibraryFile(path, table, MissingFile::Fail);
    decodeTable(table);
    return table;
}

void parseLibrary(std::string_view bytes, SlotTable& table) {
    table.reset();
    RecordWalker walker(bytes);
    Codepage936& codepage = Codepage936::instance();
    Record record;
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const bool whole = walker.next(record);
        Sentence& sentence = table.at(slot);
        sentence.Reserved = static_cast<std::int16_t>(record.reserved);
        sentence.Chinese = codepage.toUnicode(record.chinese);
        sentence.English = codepage.toUnicode(record.english);
        if (!whole) {
            return;
        }
    }
}

std::string serializeLibrary(const SlotTable& table, const std::string& path) {
    std::string out;
    out.reserve(SlotTable::SlotCount * 64);
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        const Sentence& sentence = table.at(slot);
        appendWord(out, static_cast<std::uint16_t>(sentence.Reserved));
        appendText(out, sentence.Chinese, path);
        appendText(out, sentence.English, path);
    }
    return out;
}

void WriteLibraryFile(const std::string& path, const SlotTable& table, mode_t sharedAtMost) {
    replaceFile(path, serializeLibrary(table, path), OldTail::Keep, sharedAtMost);
}

} // namespace qurimo
