// SPDX-License-Identifier: MIT
#include "UserFolders.h"

#include "FileError.h"
#include "PosixFile.h"
#include "RuntimeError.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace qurimo {

namespace {

// user-dirs.dirs is a few hundred bytes; nothing sensible is longer.
constexpr std::size_t MaxUserDirsBytes = 1 << 16;

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

std::string folderFromEnvironment(const char* variable, const char* fallbackUnderHome) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') {
        return value;
    }
    return homeFolder() + fallbackUnderHome;
}

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    return text;
}

// The value of one line `XDG_DOWNLOAD_DIR="$HOME/下载"` (or an absolute path) as the shell
// reads it when xdg-user-dir sources the file; nothing for any other line.
std::optional<std::string> downloadEntry(std::string_view line, const std::string& home) {
    constexpr std::string_view Name = "XDG_DOWNLOAD_DIR";
    line = skipBlanks(line);
    if (!line.starts_with(Name)) {
        return std::nullopt;
    }
    // `XDG_DOWNLOAD_DIR =…` is no assignment to the shell that xdg-user-dir sources the file
    // with, but a command: nothing is set.
    line = line.substr(Name.size());
    if (!line.starts_with('=')) {
        return std::nullopt;
    }
    line.remove_prefix(1);
    std::string value;
    if (line.starts_with('"')) {
        line.remove_prefix(1);
        for (std::size_t i = 0; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                ++i;
            }
            value += line[i];
        }
    } else {
        value = line.substr(0, line.find_first_of(" \t#"));
    }
    for (std::string_view prefix : {"$HOME", "${HOME}"}) {
        if (value.starts_with(prefix) &&
            (value.size() == prefix.size() || value[prefix.size()] == '/')) {
            return home + value.substr(prefix.size());
        }
    }
    if (value.starts_with('/')) {
        return value;
    }
    return std::nullopt; // the file's own rule: $HOME/… or an absolute path, nothing else
}

} // namespace

std::string homeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        return home;
    }
    const passwd* account = ::getpwuid(::getuid());
    return account != nullptr && account->pw_dir != nullptr ? account->pw_dir : "/";
}

std::string dataHome() {
    return folderFromEnvironment("XDG_DATA_HOME", "/.local/share");
}

std::string configHome() {
    return folderFromEnvironment("XDG_CONFIG_HOME", "/.config");
}

std::string downloadFolder() {
    const std::string home = homeFolder();
    const std::string fallback = withoutTrailingSlashes(home) + "/下载";
    const std::string settings = configHome() + "/user-dirs.dirs";
    struct stat info {};
    if (::stat(settings.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
        return fallback;
    }
    FileDescriptor file = openRegularFile(settings, O_RDONLY);
    // A longer file is no file of xdg-user-dirs; read in part, its last line could name a
    // folder cut short.
    const std::string text = readUpTo(file.get(), MaxUserDirsBytes + 1, settings);
    if (text.size() > MaxUserDirsBytes) {
        throw RuntimeError(ErrorNumber::PathFileAccessError, settings, 0,
                           "文件超过 64 KiB，不像是 xdg-user-dirs 写的设置，没有读它");
    }
    std::optional<std::string> configured;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        if (auto entry = downloadEntry(std::string_view(text).substr(start, end - start), home)) {
            configured = std::move(entry); // the last assignment wins, as in the shell
        }
        start = end + 1;
    }
    if (!configured || withoutTrailingSlashes(*configured) == withoutTrailingSlashes(home)) {
        return fallback;
    }
    return withoutTrailingSlashes(*configured);
}

} // namespace qurimo
