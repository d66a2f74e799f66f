// SPDX-License-Identifier: MIT
#include "LibraryLocation.h"

#include "UserFolders.h"

#include <filesystem>
#include <sys/stat.h>

namespace qurimo {

std::string perUserLibraryPath() {
    return dataHome() + "/qurimo/vorel.dat";
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
    return {programFolder + "/vorel.dat", LibrarySource::BesideProgram};
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

} // namespace qurimo
