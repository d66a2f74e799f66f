// SPDX-License-Identifier: MIT
#include "TestSupport.h"

#include "RuntimeError.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace qurimo::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qurimo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
    // Readable by the unprivileged user of runUnprivileged.
    std::filesystem::permissions(
        path_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                   std::filesystem::perms::others_exec);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

SavedEnvironment::SavedEnvironment(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
}

SavedEnvironment::~SavedEnvironment() {
    for (const auto& [name, value] : saved_) {
        value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string utf16(std::u16string_view text, bool bigEndian, bool mark) {
    std::string bytes;
    for (const char16_t unit : std::u16string(mark ? u"\uFEFF" : u"") + std::u16string(text)) {
        const char high = static_cast<char>(unit >> 8);
        const char low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

int runUnprivileged(const std::function<int()>& body) {
    if (::geteuid() != 0) {
        return body();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t Nobody = 65534;
        if (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0) {
            ::_exit(125);
        }
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 126;
}

ProcessResult runProgram(const std::vector<std::string>& argv) {
    TempDir capture;
    std::string command; // the tests' arguments hold no single quotes
    for (const std::string& arg : argv) {
        command += "'" + arg + "' ";
    }
    command += "< /dev/null > '" + capture.file("out") + "' 2> '" + capture.file("err") + "'";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(capture.file("out")),
            readFile(capture.file("err"))};
}

int errorNumberOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const RuntimeError& error) {
        return error.number();
    }
    return 0;
}

} // namespace qurimo::test
