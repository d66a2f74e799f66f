// SPDX-License-Identifier: MIT
#include "LibraryLocation.h"

#include "FileError.h"
#include "FileReplace.h"
#include "RuntimeError.h"
#include "UserFolders.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

namespace {

std::string folderOf(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// Makes folder and every missing folder above it, each private to the user.
void makePrivateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            throwFileError(errno, part);
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

} // namespace

std::string perUserLibraryIn(std::string_view dataHomeShown) {
    return std::string(dataHomeShown) + "/qurimo/" + std::string(LibraryFileName);
}

std::string perUserLibraryPath() {
    return perUserLibraryIn(dataHome());
}

std::string libraryBeside(std::string_view programFolder) {
    return std::string(programFolder) + "/" + std::string(LibraryFileName);
}

void requireOwnFolder(const std::string& folder) {
    char resolved[PATH_MAX];
    if (::realpath(folder.c_str(), resolved) == nullptr) {
        throwFileError(errno, folder);
    }
    std::string real = resolved;
    for (bool own = true;; own = false) {
        struct stat info {};
        if (::stat(real.c_str(), &info) != 0) {
            throwFileError(errno, real);
        }
        if (info.st_uid != ::geteuid() && info.st_uid != 0) {
            throw RuntimeError(ErrorNumber::PathFileAccessError, folder, 0,
                               "文件夹 " + real + " 属于另一个用户（用户号 " +
                                   std::to_string(info.st_uid) +
                                   "），他可以换掉按用户设置的词库，所以不读也不写它：请让 "
                                   "XDG_DATA_HOME 指向只属于自己的文件夹");
        }
        const bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        if (othersWrite && (own || (info.st_mode & S_ISVTX) == 0)) {
            char mode[8];
            std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
            throw RuntimeError(ErrorNumber::PathFileAccessError, folder, 0,
                               "文件夹 " + real + " 其他用户也可以写入（权限 " + mode +
                                   "），他们可以换掉按用户设置的词库，所以不读也不写它：可以用 "
                                   "chmod go-w " +
                                   real + " 收回写权限");
        }
        if (real == "/") {
            return;
        }
        const std::size_t slash = real.rfind('/');
        real = slash == 0 ? "/" : real.substr(0, slash);
    }
}

LibraryLocation locateLibrary(const std::optional<std::string>& argument,
                              const std::string& programFolder) {
    if (argument) {
        return {*argument, LibrarySource::Argument};
    }
    std::string perUser = perUserLibraryPath();
    struct stat info {};
    if (::lstat(perUser.c_str(), &info) == 0) {
        return {std::move(perUser), LibrarySource::PerUser};
    }
    return {libraryBeside(programFolder), LibrarySource::BesideProgram};
}

std::string describeSource(LibrarySource source) {
    switch (source) {
    case LibrarySource::Argument:
        return "命令行中给出的词库";
    case LibrarySource::PerUser:
        return "按用户设置的词库，由 qurimo-lib use 设定";
    case LibrarySource::BesideProgram:
        break;
    }
    return "程序所在文件夹中的词库：没有按用户设置的词库";
}

std::string windowFolder() {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path own = fs::read_symlink("/proc/self/exe", error).parent_path();
    if (error) {
        return "."; // no /proc: the tool cannot tell where it lies
    }
    const fs::path window = fs::canonical(own / "qurimo", error);
    return (error ? own : window.parent_path()).string();
}

std::string windowLibrary() {
    const LibraryLocation location = locateLibrary(std::nullopt, windowFolder());
    if (location.source == LibrarySource::PerUser) {
        requireOwnFolder(folderOf(location.path));
    }
    return location.path;
}

LibraryReport setOwnLibrary(const std::string& source) {
    // Read once, so that what is checked is what is copied.
    const std::string bytes = readLibraryBytes(source);
    LibraryReport report = verifyLibrary(bytes);
    if (!report.problems.empty()) {
        return report;
    }
    const std::string perUser = perUserLibraryPath();
    makePrivateFolders(folderOf(perUser));
    requireOwnFolder(folderOf(perUser));
    replaceFile(perUser, bytes, OldTail::Drop);
    return report;
}

bool removeOwnLibrary() {
    const std::string perUser = perUserLibraryPath();
    if (::unlink(perUser.c_str()) == 0) {
        return true;
    }
    if (errno != ENOENT && errno != ENOTDIR) {
        throwFileError(errno, perUser);
    }
    return false;
}

} // namespace qurimo
