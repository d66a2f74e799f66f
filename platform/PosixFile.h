// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <sys/types.h>

namespace qurimo {

// Owns one open file descriptor and closes it at the end of its scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FileDescriptor& operator=(FileDescriptor&& other) noexcept;

    int get() const { return fd_; }
    // Hands the descriptor over to whoever closes it now.
    int release();
    // Closes now and returns close()'s result, so that a failing close is not lost.
    int close();

private:
    int fd_;
};

// Opens path with flags (O_CREAT among them creates it with mode 0666 less the umask) and
// without blocking, following links. Anything but a regular file is refused with run-time
// error 75 naming what it is, before a read could wait on it. Errors of open are run-time
// file errors naming path.
FileDescriptor openRegularFile(const std::string& path, int flags);

// Refuses, with run-time error 75 naming what it is, a file that is not a regular file.
void requireRegularFile(mode_t mode, const std::string& path);

// Reads up to limit bytes from the current position of fd to its end. A read error is a
// run-time file error naming path.
std::string readUpTo(int fd, std::size_t limit, const std::string& path);

// Writes all of bytes at offset; returns 0 or the errno of the write that failed.
int writeAll(int fd, const char* bytes, std::size_t size, off_t offset);

// Whether the two paths name one existing file (the same device and inode).
bool isSameFile(const std::string& a, const std::string& b);

} // namespace qurimo
