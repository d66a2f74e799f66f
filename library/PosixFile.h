// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace qurimo {

// Owns one open file descriptor and closes it at the end of its scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and returns close()'s result, so that a failing close is not lost.
    int close();

private:
    int fd_;
};

// Reads up to limit bytes from the current position of fd to its end. A directory or a read
// error is a run-time file error naming path.
std::string readUpTo(int fd, std::size_t limit, const std::string& path);

// Opens path for reading only and reads all of it; a missing file is run-time error 53.
std::string readWholeFile(const std::string& path, std::size_t limit);

} // namespace qurimo
