// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qurimo::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
bool exists(const std::string& path);

// text as UTF-16, little- or big-endian, after its byte-order mark unless mark is false.
std::string utf16(std::u16string_view text, bool bigEndian, bool mark = true);

// Runs body as a user without root's power to ignore file permissions (in a child process
// when the tests run as root) and returns its result.
int runUnprivileged(const std::function<int()>& body);

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs argv[0] with the other arguments and no input; collects its exit code and output.
ProcessResult runProgram(const std::vector<std::string>& argv);

// The number of the run-time error that action raises; 0 when it raises none.
int errorNumberOf(const std::function<void()>& action);

// Puts the named environment variables back, set or unset, as they were when it was made.
class SavedEnvironment {
public:
    explicit SavedEnvironment(std::initializer_list<const char*> names);
    ~SavedEnvironment();
    SavedEnvironment(const SavedEnvironment&) = delete;
    SavedEnvironment& operator=(const SavedEnvironment&) = delete;

private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// The name of a GoogleTest table's row (its name member), for INSTANTIATE_TEST_SUITE_P.
inline constexpr auto RowName = [](const auto& info) { return std::string(info.param.name); };

} // namespace qurimo::test
