// SPDX-License-Identifier: MIT
#include "FileError.h"

#include "RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qurimo {

namespace {

// The reason in the language of the window, for the failures a user can mend.
std::string reasonOf(int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return "没有访问权限";
    case ENOENT:
        return "文件或文件夹不存在";
    case ENOTDIR:
        return "路径中有一项不是文件夹";
    case EISDIR:
        return "这是一个文件夹";
    case EROFS:
        return "文件系统是只读的";
    case ENOSPC:
        return "磁盘空间不足";
    default:
        return std::strerror(errorNumber);
    }
}

} // namespace

void throwFileError(int errorNumber, const std::string& path) {
    const std::string reason = reasonOf(errorNumber);
    if (errorNumber == ENOTDIR) {
        throw RuntimeError(ErrorNumber::PathNotFound, path, 0, reason);
    }
    if (errorNumber == ENOENT) {
        std::error_code ignored;
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, ignored)) {
            throw RuntimeError(ErrorNumber::PathNotFound, path, 0, reason);
        }
        throw RuntimeError(ErrorNumber::FileNotFound, path, 0, reason);
    }
    throw RuntimeError(ErrorNumber::PathFileAccessError, path, 0, reason);
}

} // namespace qurimo
