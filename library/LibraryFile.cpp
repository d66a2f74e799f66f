// SPDX-License-Identifier: MIT
#include "LibraryFile.h"

#include "Codepage936.h"
#include "FileError.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <string_view>
#include <unistd.h>

namespace qurimo {

namespace {

// No library file can hold more than this: 301 records of two maximal texts.
constexpr std::size_t MaxLibraryBytes = SlotTable::SlotCount * (6 + 2 * 0xFFFF);

int openForReading(const std::string& path, MissingFile missing) {
    if (missing == MissingFile::Fail) {
        return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    }
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        // An installed library that the user may not write is still to be read.
        const int writeError = errno;
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0 && errno == ENOENT) {
            errno = writeError; // could not be created: that is the access error
        }
    }
    return fd;
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
    FileDescriptor file(openForReading(path, missing));
    if (file.get() < 0) {
        throwFileError(errno, path);
    }
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
    const std::string bytes = serializeLibrary(table, path);

    bool created = false;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        created = fd >= 0;
    }
    FileDescriptor file(fd);
    if (file.get() < 0) {
        throwFileError(errno, path);
    }

    std::size_t written = 0;
    int failure = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::pwrite(file.get(), bytes.data() + written, bytes.size() - written,
                                     static_cast<off_t>(written));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            failure = put < 0 ? errno : EIO;
            break;
        }
        written += static_cast<std::size_t>(put);
    }
    if (file.close() != 0 && failure == 0) {
        failure = errno;
    }
    if (failure != 0) {
        if (created) {
            ::unlink(path.c_str()); // leave no half-written file behind
        }
        throwFileError(failure, path);
    }
}

} // namespace qurimo
