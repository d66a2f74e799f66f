// SPDX-License-Identifier: MIT
#include "FileReplace.h"

#include "FileError.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

namespace {

// A unique name in the folder of target, for the new library until it replaces target.
std::string temporaryNameFor(const std::string& target, unsigned attempt) {
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    return folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(attempt) +
           ".tmp";
}

std::string folderOf(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : target.substr(0, slash);
}

// Writes bytes, then the bytes of old beyond them (old may be absent: -1), into the new file.
int fillNewFile(int fd, std::string_view bytes, int old, off_t oldSize) {
    if (const int failure = writeAll(fd, bytes.data(), bytes.size(), 0); failure != 0) {
        return failure;
    }
    char buffer[65536];
    for (off_t at = static_cast<off_t>(bytes.size()); old >= 0 && at < oldSize;) {
        const ssize_t got = ::pread(old, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : 0; // the old file got shorter meanwhile: its end is the end
        }
        if (const int failure = writeAll(fd, buffer, static_cast<std::size_t>(got), at);
            failure != 0) {
            return failure;
        }
        at += got;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

} // namespace

// The new contents go to a new file in the same folder, which then replaces the target in
// one rename: whatever fails before that, the target keeps every byte it had.
void ReplaceFile(const std::string& path, std::string_view bytes, OldTail tail) {
    const std::string target = followLinks(path);

    // An existing library keeps its bytes beyond the new end, its permissions and, where the
    // user may give them, its owner; one the user may not write is not replaced.
    int oldFd = -1;
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        requireRegularFile(old.st_mode, path);
        oldFd = ::open(target.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (oldFd < 0) {
            throwFileError(errno, path);
        }
    } else if (errno != ENOENT) {
        throwFileError(errno, path);
    }
    FileDescriptor oldFile(oldFd);
    if (oldFd >= 0) {
        if (::fstat(oldFd, &old) != 0) {
            throwFileError(errno, path);
        }
        requireRegularFile(old.st_mode, path); // what was opened, should it have been swapped
    }

    std::string temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = temporaryNameFor(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    FileDescriptor file(fd);
    if (file.get() < 0) {
        if (errno == ENOENT && target != path) {
            throw RuntimeError(ErrorNumber::PathNotFound, path, 0,
                               "链接指向的文件夹不存在：" + folderOf(target));
        }
        throwFileError(errno, path);
    }

    int failure = 0;
    if (oldFd >= 0) {
        // Only root may give a file away; anyone else becomes the owner of the new one.
        if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
            ::fchown(file.get(), old.st_uid, old.st_gid) != 0) {
            errno = 0;
        }
        if (::fchmod(file.get(), old.st_mode & 07777) != 0) {
            failure = errno;
        }
    }
    if (failure == 0) {
        failure = fillNewFile(file.get(), bytes, tail == OldTail::Keep ? oldFd : -1,
                              oldFd >= 0 ? old.st_size : 0);
    }
    if (file.close() != 0 && failure == 0) {
        failure = errno;
    }
    if (failure == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) {
        failure = errno;
    }
    if (failure != 0) {
        ::unlink(temporary.c_str());
        throwFileError(failure, path);
    }

    // The rename is done and the file whole; a folder that cannot be synced (some file
    // systems refuse) loses nothing that a later sync would not give back.
    FileDescriptor folder(::open(folderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0 && ::fsync(folder.get()) != 0) {
        errno = 0;
    }
}

} // namespace qurimo
