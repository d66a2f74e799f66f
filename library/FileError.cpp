#include "FileError.h"

#include "RuntimeError.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace qurimo {

void throwFileError(int errorNumber, const std::string& path) {
    const std::string reason = std::strerror(errorNumber);
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
