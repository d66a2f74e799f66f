// SPDX-License-Identifier: MIT
#include "FileError.h"

#include "RuntimeError.h"

#include <cerrno>
#include <filesystem>
#include <string>
#include <sys/stat.h>

namespace qurimo {

namespace {

constexpr const char* NotRegularFile = "这不是普通文件";

std::string kindOf(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "一个文件夹";
    }
    if (S_ISFIFO(mode)) {
        return "一个管道";
    }
    if (S_ISCHR(mode)) {
        return "一个字符设备";
    }
    if (S_ISBLK(mode)) {
        return "一个块设备";
    }
    if (S_ISSOCK(mode)) {
        return "一个套接字";
    }
    return "一个特殊文件";
}

struct Reason {
    int number;
    const char* text;
};

// The reason in the language of the window for every errno that opening, reading, writing,
// syncing, linking and renaming a file can give; anything else keeps its number, so that it
// can still be looked up.
constexpr Reason Reasons[] = {
    {EACCES, "没有访问权限"},
    {EPERM, "没有访问权限"},
    {ENOENT, "文件或文件夹不存在"},
    {ENOTDIR, "路径中有一项不是文件夹"},
    {EROFS, "文件系统是只读的"},
    {ENOSPC, "磁盘空间不足"},
    {EFBIG, "磁盘空间不足：超出了允许的文件大小上限"},
    {EDQUOT, "磁盘空间不足：超出了磁盘配额"},
    {ELOOP, "符号链接太多，或者链接成环"},
    {ENAMETOOLONG, "路径太长"},
    {EIO, "读写设备时出错"},
    {EMFILE, "打开的文件太多"},
    {ENFILE, "打开的文件太多"},
    {ENOMEM, "内存不足"},
    {ETXTBSY, "文件正被占用"},
    {EBUSY, "文件正被占用"},
    {ESPIPE, NotRegularFile},
    {ENXIO, NotRegularFile},
    {ENODEV, NotRegularFile},
    {EEXIST, "文件已存在"},
    {EXDEV, "不能跨文件系统替换文件"},
    {EAGAIN, "资源暂时不可用，请稍后再试"},
    {EINTR, "操作被中断，请再试一次"},
    {EMLINK, "文件的链接数或文件夹的项数已达上限"},
    {EINVAL, "文件系统不支持这种操作"},
    {EOPNOTSUPP, "文件系统不支持这种操作"},
    {ENOSYS, "系统不支持这种操作"},
    {EOVERFLOW, "文件太大，无法处理"},
    {EBADF, "文件已不能访问"},
    {ESTALE, "网络文件系统上的文件已失效"},
    {ETIMEDOUT, "网络文件系统没有响应"},
    {ENOLCK, "没有可用的文件锁"},
    {EDEADLK, "文件锁会造成死锁"},
    {ENOTEMPTY, "文件夹不是空的"},
    {EFAULT, "内部错误：地址无效"},
};

std::string reasonOf(int errorNumber) {
    if (errorNumber == EISDIR) {
        return notRegularFileReason(S_IFDIR);
    }
    for (const Reason& reason : Reasons) {
        if (reason.number == errorNumber) {
            return reason.text;
        }
    }
    return "系统错误（错误码 " + std::to_string(errorNumber) + "）";
}

} // namespace

std::string notRegularFileReason(mode_t mode) {
    return std::string(NotRegularFile) + "：是" + kindOf(mode);
}

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
