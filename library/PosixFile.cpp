// SPDX-License-Identifier: MIT
#include "PosixFile.h"

#include "FileError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

int FileDescriptor::close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

std::string readUpTo(int fd, std::size_t limit, const std::string& path) {
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        throwFileError(EISDIR, path);
    }
    std::string bytes;
    char buffer[65536];
    while (bytes.size() < limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwFileError(errno, path);
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (bytes.size() > limit) {
        bytes.resize(limit);
    }
    return bytes;
}

std::string readWholeFile(const std::string& path, std::size_t limit) {
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) {
        throwFileError(errno, path);
    }
    return readUpTo(file.get(), limit, path);
}

} // namespace qurimo
