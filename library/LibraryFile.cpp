// SPDX-License-Identifier: MIT
#include "LibraryFile.h"

#include "Codepage936.h"
#include "FileError.h"
#include "FileReplace.h"
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

class RecordReader {
public:
    explicit RecordReader(std::string_view bytes) : bytes_(bytes) {}

    bool readWord(std::uint16_t& value) {
        if (bytes_.size() - position_ < 2) {
            position_ = bytes_.size();
            return false;
        }
        value = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes_[position_]) |
                                           static_cast<unsigned char>(bytes_[position_ + 1]) << 8);
        position_ += 2;
        return true;
    }

    bool readText(std::u16string& text) {
        std::uint16_t length = 0;
        if (!readWord(length)) {
            return false;
        }
        if (bytes_.size() - position_ < length) {
            position_ = bytes_.size();
            return false;
        }
        text = Codepage936::instance().toUnicode(bytes_.substr(position_, length));
        position_ += length;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

void appendWord(std::string& out, std::uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void appendText(std::string& out, const std::u16string& text, const std::string& path) {
    const std::string bytes = Codepage936::instance().fromUnicode(text);
    if (bytes.size() > 0xFFFF) {
        throw RuntimeError(ErrorNumber::Overflow, path, 0,
                           "文本长 " + std::to_string(bytes.size()) +
                               " 字节，超过库文件允许的 65535 字节");
    }
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

void parseLibrary(std::string_view bytes, SlotTable& table) {
    table.reset();
    RecordReader reader(bytes);
    for (int slot = 0; slot < SlotTable::SlotCount; ++slot) {
        Sentence& sentence = table.at(slot);
        std::uint16_t reserved = 0;
        if (!reader.readWord(reserved)) {
            return;
        }
        sentence.Reserved = static_cast<std::int16_t>(reserved);
        if (!reader.readText(sentence.Chinese) || !reader.readText(sentence.English)) {
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

void WriteLibraryFile(const std::string& path, const SlotTable& table) {
    ReplaceFile(path, serializeLibrary(table, path), OldTail::Keep);
}

} // namespace qurimo
