// SPDX-License-Identifier: MIT
#include "FileError.h"

#include "RuntimeError.h"

#include <cerrno>
#include <filesystem>
#include <string>

namespace qurimo {

namespace {

// The reason in the language of the window. Every failure a user can meet has one; the rest
// keep their number, so that it can still be looked up.
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
        return "这不是普通文件：是一个文件夹";
    case EROFS:
        return "文件系统是只读的";
    case ENOSPC:
        return "磁盘空间不足";
    case EFBIG:
        return "磁盘空间不足：超出了允许的文件大小上限";
    case EDQUOT:
        return "磁盘空间不足：超出了磁盘配额";
    case ELOOP:
        return "符号链接太多，或者链接成环";
    case ENAMETOOLONG:
        return "路径太长";
    case EIO:
        return "读写设备时出错";
    case EMFILE:
    case ENFILE:
        return "打开的文件太多";
    case ENOMEM:
        return "内存不足";
    case ETXTBSY:
    case EBUSY:
        return "文件正被占用";
    case ESPIPE:
    case ENXIO:
        return "这不是普通文件";
    case EEXIST:
        return "文件已存在";
    case EXDEV:
        return "不能跨文件系统替换文件";
    default:
        return "系统错误（错误码 " + std::to_string(errorNumber) + "）";
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
