// SPDX-License-Identifier: MIT
#include "FileReplace.h"

#include "FileError.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

namespace qurimo {

namespace {

// Where the new contents go: the folder of the real file, its name there, and what it was.
struct Destination {
    FileDescriptor folder{-1};
    std::string folderPath;
    std::string name;
    bool exists = false;
    struct stat old {};
    FileDescriptor oldFile{-1};
};

// Our temporary files are ".qurimo-" and a digest of the name they will replace, then a
// random part: short enough for any name the file system takes, so that a leftover of a killed
// write can be told apart and removed by the next write of the same file.
std::string temporaryPrefix(const std::string& name) {
    std::uint32_t digest = 2166136261u; // FNV-1a
    for (unsigned char c : name) {
        digest = (digest ^ c) * 16777619u;
    }
    static const char hex[] = "0123456789abcdef";
    std::string prefix = ".qurimo-";
    for (int shift = 28; shift >= 0; shift -= 4) {
        prefix += hex[(digest >> shift) & 0xF];
    }
    return prefix + "-";
}

std::string randomName(const std::string& prefix, const std::string& path) {
    static const char alphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char noise[10];
    std::size_t got = 0;
    while (got < sizeof noise) {
        const ssize_t n = ::getrandom(noise + got, sizeof noise - got, 0);
        if (n < 0 && errno != EINTR) {
            throwFileError(errno, path);
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    std::string name = prefix;
    for (unsigned char c : noise) {
        name += alphabet[c % (sizeof alphabet - 1)];
    }
    return name;
}

mode_t currentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

FileDescriptor openFolder(const std::string& folder, const std::string& path) {
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENOENT) {
            throw RuntimeError(ErrorNumber::PathNotFound, path, 0, "文件夹不存在：" + folder);
        }
        throwFileError(errno, path);
    }
    return fd;
}

// The name of an open file in /proc, through which the kernel opens or links the file itself.
std::string procPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

// The kernel's name for an open file, through /proc: the link it followed to get there.
std::string realPathOf(int fd, const std::string& path) {
    const std::string proc = procPath(fd);
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink(proc.c_str(), buffer, sizeof buffer);
    if (length < 0 || static_cast<std::size_t>(length) == sizeof buffer) {
        throwFileError(length < 0 ? errno : ENAMETOOLONG, path);
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

// Whether folder's own entry name is the file described by info (same device and inode): a
// folder looked up again by its path is taken only when it still holds the file that was opened.
bool namesFile(int folder, const std::string& name, const struct stat& info) {
    struct stat named {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
           named.st_dev == info.st_dev && named.st_ino == info.st_ino;
}

[[noreturn]] void throwMoved(const std::string& path) {
    throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                       "写入时这个文件或它所在的文件夹被移动或替换了，什么也没有写：请再试一次");
}

// The folder of a file reached through a link: the kernel's name for it, through /proc.
void followToRealFolder(Destination& where, int fd, const struct stat& info,
                        const std::string& path) {
    const std::string real = realPathOf(fd, path);
    where.folderPath = folderOf(real);
    where.name = nameOf(real);
    where.folder = openFolder(where.folderPath, path);
    if (!namesFile(where.folder.get(), where.name, info)) {
        throwMoved(path);
    }
}

// The name is a link to a file yet to be made: the kernel makes it, which tells where it is; an
// empty one is removed again at once, so that only the finished file ever stands there.
void createThroughLink(Destination& where, const std::string& path) {
    FileDescriptor file(::openat(where.folder.get(), where.name.c_str(),
                                 O_RDWR | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    if (file.get() < 0 && errno == ENOENT) {
        char target[PATH_MAX];
        const ssize_t length =
            ::readlinkat(where.folder.get(), where.name.c_str(), target, sizeof target - 1);
        target[length > 0 ? length : 0] = '\0';
        throw RuntimeError(ErrorNumber::PathNotFound, path, 0,
                           std::string("链接指向的文件夹不存在：") + target);
    }
    if (file.get() < 0 || ::fstat(file.get(), &where.old) != 0) {
        throwFileError(errno, path);
    }
    requireRegularFile(where.old.st_mode, path);
    followToRealFolder(where, file.get(), where.old, path);
    if (where.old.st_size == 0) {
        ::unlinkat(where.folder.get(), where.name.c_str(), 0);
        return;
    }
    where.exists = true; // made meanwhile by someone else: an old file like any other
    where.oldFile = std::move(file);
}

// What the handle (O_PATH, opened without access) stands for, when it is an old file that can
// be replaced: a regular file, not deleted meanwhile.
void inspectOldFile(Destination& where, const FileDescriptor& handle, const std::string& path) {
    if (::fstat(handle.get(), &where.old) != 0) {
        throwFileError(errno, path);
    }
    requireRegularFile(where.old.st_mode, path);
    if (where.old.st_nlink == 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0, "这个文件已被删除，不能替换");
    }
}

// Opens the old file for writing through its handle, never by its name again.
void openOldFile(Destination& where, const FileDescriptor& handle, const std::string& path) {
    where.oldFile =
        FileDescriptor(::open(procPath(handle.get()).c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (where.oldFile.get() < 0 && (errno == EACCES || errno == EPERM)) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                           "没有访问权限：当前用户不能写这个文件。请让它可写，或写到别的文件名。");
    }
    if (where.oldFile.get() < 0) {
        throwFileError(errno, path);
    }
    where.exists = true;
}

// The name is a regular file: it is replaced where it is, if it is still what was looked at.
void locateNamedFile(Destination& where, const std::string& path) {
    const FileDescriptor handle(
        ::openat(where.folder.get(), where.name.c_str(), O_PATH | O_CLOEXEC | O_NOFOLLOW));
    if (handle.get() < 0) {
        throwFileError(errno, path);
    }
    inspectOldFile(where, handle, path);
    if (!namesFile(where.folder.get(), where.name, where.old)) {
        throwMoved(path);
    }
    openOldFile(where, handle, path);
}

// The name is a link, which the kernel follows by its own rules (a link that another user
// planted in a sticky folder is refused): the file it reaches is replaced in the folder it is
// in, and one it would make is made there.
void locateThroughLink(Destination& where, uid_t linkOwner, const std::string& path) {
    const FileDescriptor handle(
        ::openat(where.folder.get(), where.name.c_str(), O_PATH | O_CLOEXEC));
    if (handle.get() < 0 && errno == ENOENT) {
        createThroughLink(where, path);
        return;
    }
    if (handle.get() < 0 && errno == EACCES && linkOwner != ::geteuid()) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                           "没有访问权限：这是其他用户建立的符号链接，系统不允许跟随它");
    }
    if (handle.get() < 0) {
        throwFileError(errno, path);
    }
    inspectOldFile(where, handle, path);
    followToRealFolder(where, handle.get(), where.old, path);
    openOldFile(where, handle, path);
}

// Opens the folder as given, then the name in it. What stands there is first opened without
// access (O_PATH) and its type checked, so that no FIFO reader is released and no device opened
// read-write.
Destination locate(const std::string& path) {
    Destination where;
    where.folderPath = folderOf(path);
    where.name = nameOf(path);
    where.folder = openFolder(where.folderPath, path);
    struct stat entry {};
    if (::fstatat(where.folder.get(), where.name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) {
            throwFileError(errno, path);
        }
        return where; // a new file
    }
    if (S_ISLNK(entry.st_mode)) {
        locateThroughLink(where, entry.st_uid, path);
    } else {
        requireRegularFile(entry.st_mode, path); // a socket, say, named for what it is
        locateNamedFile(where, path);
    }
    return where;
}

// Leftovers of earlier writes of the same file that were killed: ours, and no longer locked
// by a write in progress.
void removeLeftovers(const Destination& where) {
    const std::string prefix = temporaryPrefix(where.name);
    FileDescriptor listing(::openat(where.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* folder = listing.get() < 0 ? nullptr : ::fdopendir(listing.get());
    if (folder == nullptr) {
        return;
    }
    listing.release();
    std::vector<std::string> stale;
    while (const dirent* entry = ::readdir(folder)) {
        if (std::string_view(entry->d_name).starts_with(prefix)) {
            stale.emplace_back(entry->d_name);
        }
    }
    for (const std::string& name : stale) {
        FileDescriptor leftover(
            ::openat(dirfd(folder), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat info {};
        if (leftover.get() >= 0 && ::fstat(leftover.get(), &info) == 0 && S_ISREG(info.st_mode) &&
            info.st_uid == ::geteuid() && ::flock(leftover.get(), LOCK_EX | LOCK_NB) == 0) {
            ::unlinkat(dirfd(folder), name.c_str(), 0);
        }
    }
    ::closedir(folder);
}

// In a folder that only grows (chattr +a) or never changes (+i), an old file cannot be replaced
// and a named temporary file could not be removed again.
void requireReplaceable(const Destination& where, const std::string& path) {
    int flags = 0;
    if (::ioctl(where.folder.get(), FS_IOC_GETFLAGS, &flags) == 0 &&
        (flags & (FS_APPEND_FL | FS_IMMUTABLE_FL)) != 0) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0,
                           "文件夹 " + where.folderPath +
                               " 设置了只允许追加或不可修改的属性，"
                               "其中的文件不能替换");
    }
}

// Making or renaming a file is what the folder allows or not: with a folder that may not be
// written, the file itself is no culprit, and may well be writable.
[[noreturn]] void throwFolderError(int error, const Destination& where, const std::string& path) {
    if (error == EACCES || error == EPERM) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, where.folderPath, 0,
                           "没有访问权限：不能在这个文件夹中新建或替换 " + where.name +
                               "。请让当前用户可以写入这个文件夹，或把文件写到别的文件夹。");
    }
    throwFileError(error, path);
}

// A new file in the folder that nobody else can open: nameless where the file system allows,
// otherwise under a random name, created 0600 in one step. Locked, so that another write of the
// same file does not take it for a leftover; where the file system has no locks (NFS without
// its lock service), the random private name has to do.
FileDescriptor createPrivate(const Destination& where, std::string& name, const std::string& path) {
    FileDescriptor fd(
        ::openat(where.folder.get(), ".", O_TMPFILE | O_RDWR | O_NOCTTY | O_CLOEXEC, 0600));
    if (fd.get() >= 0) {
        ::flock(fd.get(), LOCK_EX);
        return fd;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        throwFolderError(errno, where, path);
    }
    requireReplaceable(where, path);
    constexpr int Attempts = 100;
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        name = randomName(temporaryPrefix(where.name), path);
        fd = FileDescriptor(::openat(where.folder.get(), name.c_str(),
                                     O_RDWR | O_CREAT | O_EXCL | O_NOCTTY | O_CLOEXEC, 0600));
        if (fd.get() < 0) {
            if (errno == EEXIST) {
                continue;
            }
            const int error = errno;
            name.clear();
            throwFolderError(error, where, path);
        }
        int locked = 0;
        while ((locked = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {
        }
        if (locked != 0 && errno != ENOLCK) {
            const int error = errno;
            ::unlinkat(where.folder.get(), name.c_str(), 0);
            name.clear();
            throwFileError(error, path);
        }
        // Another write of this file may have taken it for a leftover before the lock: then
        // the name is no longer ours, and another is tried.
        struct stat mine {};
        if (::fstat(fd.get(), &mine) == 0 && namesFile(where.folder.get(), name, mine)) {
            return fd;
        }
    }
    name.clear();
    throwFileError(EEXIST, path);
}

int retried(int (*call)(int), int fd) {
    int result = 0;
    while ((result = call(fd)) != 0 && errno == EINTR) {
    }
    return result == 0 ? 0 : errno;
}

// Copies the bytes of old in [from, to) to the same place in fd.
int copyRange(int fd, int old, off_t from, off_t to) {
    char buffer[65536];
    for (off_t at = from; at < to;) {
        const ssize_t got = ::pread(
            old, buffer, static_cast<std::size_t>(std::min<off_t>(sizeof buffer, to - at)), at);
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
    return 0;
}

// Writes bytes, then the bytes of old beyond them (old may be absent: -1), into the new file.
// Only the old tail's data is copied, the holes between stay holes: a sparse old file of a
// gigabyte takes no more disk than it did.
int fill(int fd, std::string_view bytes, int old, off_t oldSize) {
    if (const int failure = writeAll(fd, bytes.data(), bytes.size(), 0); failure != 0) {
        return failure;
    }
    const auto end = static_cast<off_t>(bytes.size());
    if (old < 0 || oldSize <= end) {
        return 0;
    }
    for (off_t at = end; at < oldSize;) {
        const off_t data = ::lseek(old, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break; // a hole to the end
            }
            return copyRange(fd, old, at, oldSize); // no holes on this file system
        }
        const off_t hole = std::min(::lseek(old, data, SEEK_HOLE), oldSize);
        if (hole < 0) {
            return errno;
        }
        if (const int failure = copyRange(fd, old, data, hole); failure != 0) {
            return failure;
        }
        at = hole;
    }
    // The holes at the end: up to the old size, or the old end if it got shorter meanwhile.
    struct stat now {};
    const off_t last = ::fstat(old, &now) == 0 ? std::min(oldSize, now.st_size) : oldSize;
    return ::ftruncate(fd, std::max(last, end)) == 0 ? 0 : errno;
}

// Every extended attribute of the old file that the user may set, the access list
// (system.posix_acl_access) among them; the others (security.*, trusted.* for most users) are
// the file system's to give.
void copyAttributes(int from, int to) {
    std::vector<char> names(1024);
    ssize_t size = 0;
    while ((size = ::flistxattr(from, names.data(), names.size())) < 0 && errno == ERANGE) {
        names.resize(names.size() * 4);
    }
    std::vector<char> value(4096);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(&names[at])) + 1) {
        const char* name = &names[static_cast<std::size_t>(at)];
        ssize_t length = 0;
        while ((length = ::fgetxattr(from, name, value.data(), value.size())) < 0 &&
               errno == ERANGE) {
            value.resize(value.size() * 4);
        }
        if (length >= 0) {
            ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(length), 0);
        }
    }
}

// What open(O_CREAT, mode) gives a new file: with a default access list on the folder, that
// list with its owner, mask (or group) and other entries limited to those of mode, the umask
// left out; without one, mode less the umask. Entries are tag (16 bits), permissions (16), id
// (32), little-endian, after a 32-bit version.
int giveNewFileAccess(const Destination& where, int fd, mode_t mode) {
    std::vector<char> list(65536);
    const ssize_t size =
        ::fgetxattr(where.folder.get(), "system.posix_acl_default", list.data(), list.size());
    constexpr std::size_t Header = 4;
    constexpr std::size_t Entry = 8;
    if (size < static_cast<ssize_t>(Header + Entry)) {
        return ::fchmod(fd, mode & ~currentUmask()) == 0 ? 0 : errno;
    }
    constexpr unsigned Owner = 0x01, Group = 0x04, Mask = 0x10, Other = 0x20;
    auto tagAt = [&](std::size_t at) {
        return static_cast<unsigned char>(list[at]) | static_cast<unsigned char>(list[at + 1]) << 8;
    };
    bool masked = false;
    for (std::size_t at = Header; at + Entry <= static_cast<std::size_t>(size); at += Entry) {
        masked = masked || tagAt(at) == Mask;
    }
    for (std::size_t at = Header; at + Entry <= static_cast<std::size_t>(size); at += Entry) {
        const unsigned tag = tagAt(at);
        const unsigned allowed = tag == Owner                     ? mode >> 6 & 07
                                 : tag == (masked ? Mask : Group) ? mode >> 3 & 07
                                 : tag == Other                   ? mode & 07
                                                                  : 07;
        list[at + 2] = static_cast<char>(static_cast<unsigned>(list[at + 2]) & allowed);
    }
    return ::fsetxattr(fd, "system.posix_acl_access", list.data(), static_cast<std::size_t>(size),
                       0) == 0
               ? 0
               : errno;
}

// The old file's owner and group (where the user may give them: the owner only as root, the
// group as a member of it, as chgrp does), access list, attributes and mode; a new file what
// any other program's would get. Either way, the group and others get no permission of hidden.
int giveMetadata(const Destination& where, int fd, mode_t hidden) {
    if (!where.exists) {
        return giveNewFileAccess(where, fd, 0666 & ~hidden);
    }
    const struct stat& old = where.old;
    if (old.st_uid != ::geteuid() && ::fchown(fd, old.st_uid, old.st_gid) == 0) {
        errno = 0;
    } else if (old.st_gid != ::getegid() && ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
        errno = 0; // not a member of the group: the new file keeps the user's
    }
    copyAttributes(where.oldFile.get(), fd);
    return ::fchmod(fd, old.st_mode & 07777 & ~hidden) == 0 ? 0 : errno;
}

// Gives a finished nameless file a random name in the folder, so that it can be closed (and a
// failing close reported) before anything is replaced.
int nameIt(const Destination& where, int fd, std::string& name, const std::string& path) {
    if (!name.empty()) {
        return 0;
    }
    const std::string proc = procPath(fd);
    for (int attempt = 0;; ++attempt) {
        const std::string candidate = randomName(temporaryPrefix(where.name), path);
        if (::linkat(AT_FDCWD, proc.c_str(), where.folder.get(), candidate.c_str(),
                     AT_SYMLINK_FOLLOW) == 0) {
            name = candidate;
            return 0;
        }
        if (errno != EEXIST || attempt == 100) {
            return errno;
        }
    }
}

} // namespace

void replaceFile(const std::string& path, std::string_view bytes, OldTail tail,
                 mode_t sharedAtMost) {
    const Destination where = locate(path);
    if (where.exists) {
        requireReplaceable(where, path);
    }
    removeLeftovers(where);

    std::string name; // empty while the new file has none
    FileDescriptor file = createPrivate(where, name, path);
    const int oldFd = tail == OldTail::Keep ? where.oldFile.get() : -1;
    int failure = fill(file.get(), bytes, oldFd, where.exists ? where.old.st_size : 0);
    if (failure == 0) {
        failure = giveMetadata(where, file.get(), 077 & ~sharedAtMost);
    }
    if (failure == 0) {
        failure = retried(::fsync, file.get());
    }
    bool named = true; // a failure is the folder's only where naming the file failed
    if (failure == 0) {
        failure = nameIt(where, file.get(), name, path);
        named = failure == 0;
    }
    // Closed before the rename, so that a file system that reports a failed write only now
    // (NFS) leaves the old file in place rather than a new one reported as not written. Linux
    // closes the descriptor even when close reports EINTR; nothing to retry.
    if (file.close() != 0 && errno != EINTR && failure == 0) {
        failure = errno;
    }
    if (failure == 0 &&
        ::renameat(where.folder.get(), name.c_str(), where.folder.get(), where.name.c_str()) != 0) {
        failure = errno;
        named = false;
    }
    if (failure != 0) {
        if (!name.empty()) {
            ::unlinkat(where.folder.get(), name.c_str(), 0);
        }
        named ? throwFileError(failure, path) : throwFolderError(failure, where, path);
    }
    // The file is whole and in place; a folder that cannot be synced (some file systems
    // refuse) loses nothing that a later sync would not give back.
    retried(::fsync, where.folder.get());
}

} // namespace qurimo
