// SPDX-License-Identifier: MIT
#include "PosixFile.h"

#include "FileError.h"
#include "RuntimeError.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int FileDescriptor::release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

int FileDescriptor::close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
}

void requireRegularFile(mode_t mode, const std::string& path) {
    if (!S_ISREG(mode)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0, notRegularFileReason(mode));
    }
}

FileDescriptor openRegularFile(const std::string& path, int flags) {
    // Looked at first, so that a socket or a folder is named for what it is rather than by
    // the error that opening it gives.
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        requireRegularFile(info.st_mode, path);
    }
    FileDescriptor file(::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        throwFileError(errno, path);
    }
    // The file may have been swapped since the look; the open one is what counts.
    if (::fstat(file.get(), &info) != 0) {
        throwFileError(errno, path);
    }
    requireRegularFile(info.st_mode, path);
    return file;
}

std::string readUpTo(int fd, std::size_t limit, const std::string& path) {
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

int writeAll(int fd, const char* bytes, std::size_t size, off_t offset) {
    std::size_t written = 0;
    while (written < size) {
        const ssize_t put =
            ::pwrite(fd, bytes + written, size - written, offset + static_cast<off_t>(written));
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return put < 0 ? errno : EIO;
        }
        written += static_cast<std::size_t>(put);
    }
    return 0;
}

bool isSameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace qurimo
