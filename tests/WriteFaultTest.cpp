// SPDX-License-Identifier: MIT
// Library writes that fail midway, with the operating system's own faults: a file-size limit,
// a full file system, permissions seen by an unprivileged user, a device. Whatever fails, the
// old library keeps every byte and no other file is left in its folder.
#include "LibraryFile.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <sched.h>
#include <sstream>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace qurimo;
using namespace qurimo::test;

namespace {

constexpr uid_t Nobody = 65534;
constexpr int Unsupported = 77;

enum class Fault {
    None,
    FileSizeLimit, // RLIMIT_FSIZE of limit bytes, SIGXFSZ ignored
    FullDisk,      // the folder is a tmpfs of limit bytes
    Unprivileged,  // the write runs as user nobody
    LinkToDevice,  // the output is a link to /dev/full
};

struct FaultCase {
    const char* name;
    Fault fault;
    std::size_t oldSize; // 0: no old file
    mode_t oldMode;
    std::size_t limit;
    bool folderWritable; // by nobody, for the unprivileged rows
    int error;           // 0: written
    const char* reason;

    friend void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.name; }
};

// About 92 KB: more than every limit below.
SlotTable bigTable() {
    SlotTable table;
    for (int k = 0; k < SlotTable::SlotCount; ++k) {
        table.at(k).English = std::u16string(150, static_cast<char16_t>(u'A' + k % 26));
        table.at(k).Chinese = std::u16string(75, u'句');
    }
    return table;
}

std::string oldBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>('a' + i % 23);
    }
    return bytes;
}

struct Outcome {
    int error = -1;
    std::string report;
    std::string bytes; // of out.dat afterwards; "(none)" when it does not exist
    std::string mode;  // its permission bits, octal
    std::string names; // everything in the folder afterwards, sorted
};

// Sets the fault up and writes in a child process, so that limits, a mount namespace and a
// changed user end with it; the child looks at the folder itself, since a tmpfs is seen only
// there.
Outcome writeWithFault(const FaultCase& row, const std::filesystem::path& folder) {
    int channel[2];
    if (::pipe(channel) != 0) {
        throw std::runtime_error("pipe");
    }
    const std::string out = (folder / "out.dat").string();
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (row.fault == Fault::FullDisk) {
            const std::string size = "size=" + std::to_string(row.limit);
            if (::unshare(CLONE_NEWNS) != 0 ||
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0) {
                ::_exit(Unsupported);
            }
        }
        if (row.oldSize > 0) {
            writeFile(out, oldBytes(row.oldSize));
            ::chmod(out.c_str(), row.oldMode);
        }
        if (row.fault == Fault::LinkToDevice) {
            std::filesystem::create_symlink("/dev/full", out);
        }
        if (row.fault == Fault::FileSizeLimit) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{row.limit, row.limit};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (row.fault == Fault::Unprivileged) {
            const bool root = ::geteuid() == 0;
            if (row.folderWritable ? root && ::chown(folder.c_str(), Nobody, Nobody) != 0
                                   : ::chmod(folder.c_str(), 0555) != 0) {
                ::_exit(Unsupported);
            }
            if (::geteuid() == 0 && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
                ::_exit(Unsupported);
            }
        }
        Outcome outcome;
        outcome.error = 0;
        try {
            WriteLibraryFile(out, bigTable());
        } catch (const RuntimeError& error) {
            outcome.error = error.number();
            outcome.report = error.report();
        }
        struct stat info {};
        outcome.bytes = ::lstat(out.c_str(), &info) != 0 ? "(none)"
                        : S_ISLNK(info.st_mode)
                            ? "-> " + std::filesystem::read_symlink(out).string()
                            : readFile(out);
        std::ostringstream mode;
        mode << std::oct << (info.st_mode & 07777);
        outcome.mode = mode.str();
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            outcome.names += name + " ";
        }
        std::string message = std::to_string(outcome.error) + '\0' + outcome.report + '\0' +
                              outcome.mode + '\0' + outcome.names + '\0' + outcome.bytes;
        for (std::size_t at = 0; at < message.size();) {
            const ssize_t put = ::write(channel[1], message.data() + at, message.size() - at);
            if (put <= 0) {
                ::_exit(1);
            }
            at += static_cast<std::size_t>(put);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string message;
    char buffer[65536];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        message.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::chmod(folder.c_str(), 0755);
    if (row.folderWritable && ::geteuid() == 0 && ::chown(folder.c_str(), 0, 0) != 0) {
        ADD_FAILURE() << "cannot take the folder back";
    }
    Outcome outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        outcome.error = WIFEXITED(status) && WEXITSTATUS(status) == Unsupported ? -Unsupported : -1;
        return outcome;
    }
    std::istringstream parts(message);
    std::string error;
    std::getline(parts, error, '\0');
    outcome.error = std::stoi(error);
    std::getline(parts, outcome.report, '\0');
    std::getline(parts, outcome.mode, '\0');
    std::getline(parts, outcome.names, '\0');
    outcome.bytes.assign(std::istreambuf_iterator<char>(parts), {});
    return outcome;
}

class WriteFault : public testing::TestWithParam<FaultCase> {
protected:
    TempDir dir;
};

TEST_P(WriteFault, LosesNoByteAndLeavesNoFile) {
    const FaultCase& row = GetParam();
    if (row.fault == Fault::FullDisk && ::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    const Outcome outcome = writeWithFault(row, dir.path());
    ASSERT_NE(outcome.error, -Unsupported) << "the fault could not be set up";
    ASSERT_GE(outcome.error, 0) << "the writing process died";
    EXPECT_EQ(outcome.error, row.error) << outcome.report;
    EXPECT_NE(outcome.report.find(row.reason), std::string::npos) << outcome.report;
    const bool fileThere = row.error == 0 || row.oldSize > 0 || row.fault == Fault::LinkToDevice;
    EXPECT_EQ(outcome.names, fileThere ? "out.dat " : "") << "nothing but the library, if any";
    const std::string written = serializeLibrary(bigTable());
    if (row.error == 0) {
        const std::string old = oldBytes(row.oldSize);
        const std::string tail = old.size() > written.size() ? old.substr(written.size()) : "";
        EXPECT_TRUE(outcome.bytes == written + tail) << "the new library, then the old tail";
        std::ostringstream mode;
        mode << std::oct << row.oldMode;
        EXPECT_EQ(outcome.mode, mode.str()) << "the old file's permissions";
    } else if (row.fault == Fault::LinkToDevice) {
        EXPECT_EQ(outcome.bytes, "-> /dev/full");
    } else if (row.oldSize > 0) {
        EXPECT_TRUE(outcome.bytes == oldBytes(row.oldSize)) << "the old library must stay whole";
    }
}

// The new library is 92,128 bytes.
INSTANTIATE_TEST_SUITE_P(
    Rows, WriteFault,
    testing::Values(
        FaultCase{"LongerOldFileKeepsTailAndMode", Fault::None, 150000, 0640, 0, false, 0, ""},
        FaultCase{"SizeLimitNoOldFile", Fault::FileSizeLimit, 0, 0, 8192, false, 75,
                  "磁盘空间不足"},
        FaultCase{"SizeLimitShorterOldFile", Fault::FileSizeLimit, 5000, 0644, 8192, false, 75,
                  "磁盘空间不足"},
        FaultCase{"SizeLimitLongerOldFile", Fault::FileSizeLimit, 150000, 0644, 8192, false, 75,
                  "磁盘空间不足"},
        FaultCase{"SizeLimitInsideOldTail", Fault::FileSizeLimit, 150000, 0644, 120000, false, 75,
                  "磁盘空间不足"},
        FaultCase{"FullDiskNoOldFile", Fault::FullDisk, 0, 0, 65536, false, 75, "磁盘空间不足"},
        FaultCase{"FullDiskOldFile", Fault::FullDisk, 20000, 0644, 65536, false, 75,
                  "磁盘空间不足"},
        FaultCase{"ReadOnlyOldFileInWritableFolder", Fault::Unprivileged, 5000, 0444, 0, true, 75,
                  "没有访问权限"},
        FaultCase{"WritableOldFileInReadOnlyFolder", Fault::Unprivileged, 5000, 0666, 0, false, 75,
                  "没有访问权限"},
        FaultCase{"NoOldFileInReadOnlyFolder", Fault::Unprivileged, 0, 0, 0, false, 75,
                  "没有访问权限"},
        FaultCase{"LinkToDevFull", Fault::LinkToDevice, 0, 0, 0, false, 75,
                  "这不是普通文件：是一个字符设备"}),
    [](const testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.name); });

} // namespace
