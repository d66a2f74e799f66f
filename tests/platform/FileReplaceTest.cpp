// SPDX-License-Identifier: MIT
// Library writes that fail midway, with the operating system's own faults: a file-size limit,
// a full file system, permissions seen by an unprivileged user, a device, another user who
// plants a link or watches the folder. Whatever fails, the old library keeps every byte, no
// other file is left in its folder and nobody else reads what they could not read before.
#include "FileError.h"
#include "LibraryFile.h"
#include "RuntimeError.h"
#include "TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <iterator>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <random>
#include <sched.h>
#include <sstream>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
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
    Eavesdropper,  // user nobody opens every file that appears in the folder during the write
    PlantedLink,   // out.dat in a sticky folder is another user's link to the writer's file
    Attributes,    // the old file has an access list entry and a user. attribute
    SyncFails,     // the kernel answers fsync and fdatasync with EIO, as a failing disk does
    CloseFails,    // the kernel answers close with EIO, as NFS does for a write it failed late
    CloseFailsWithoutTmpfile, // the same without nameless files: a named temporary file
    // The eavesdropper, on a file system without nameless files: openat with O_TMPFILE is
    // answered EOPNOTSUPP, so the writer takes its named temporary file.
    EavesdropperWithoutTmpfile,
    // Without nameless files, and flock answered ENOLCK, as NFSv3 without its lock service.
    NoLocksWithoutTmpfile,
    // The output's folder is moved aside and a link to another folder put in its place at the
    // first folder the writer opens after the output itself, as another user racing it would.
    SwappedFolder,
    GroupMember,       // out.dat is daemon's, of group Team, 0660; nobody, a member, writes
    DefaultAccessList, // no old file; the folder has a default access list granting daemon rw
    SparseOldFile,     // the old file is 5,000 bytes of data, then a hole to its size
    FifoWithReader,    // out.dat is a FIFO that another process waits to read
    // No old file, in a folder that may only grow (chattr +a), without nameless files.
    AppendOnlyWithoutTmpfile,
    // nobody writes out.dat by that relative name from inside a folder whose parent it may
    // not search: the name works, its absolute path does not.
    RelativeUnderClosedFolder,
};

constexpr gid_t Team = 4242;
const std::string VictimBytes = "a library in a folder the writer never named";

// The calls the fault's file system fails, each with its errno, and whether it has no nameless
// files (openat with O_TMPFILE answered EOPNOTSUPP, so the writer takes a named temporary file).
struct KernelAnswers {
    std::vector<std::pair<std::uint32_t, int>> failing;
    bool nameless = false;
};

KernelAnswers answersOf(Fault fault) {
    switch (fault) {
    case Fault::SyncFails:
        return {{{__NR_fsync, EIO}, {__NR_fdatasync, EIO}}};
    case Fault::CloseFails:
        return {{{__NR_close, EIO}}};
    case Fault::CloseFailsWithoutTmpfile:
        return {{{__NR_close, EIO}}, true};
    case Fault::NoLocksWithoutTmpfile:
        return {{{__NR_flock, ENOLCK}}, true};
    case Fault::EavesdropperWithoutTmpfile:
    case Fault::AppendOnlyWithoutTmpfile:
        return {{}, true};
    default:
        return {};
    }
}

// Has the kernel answer this process's calls as the fault's file system would (seccomp;
// needs no privilege). False when the filter cannot be installed.
bool answerAsFaultyFileSystem(Fault fault) {
    const KernelAnswers answers = answersOf(fault);
    if (answers.failing.empty() && !answers.nameless) {
        return true;
    }
    constexpr std::uint32_t Flags = offsetof(seccomp_data, args) + 2 * sizeof(std::uint64_t);
    std::vector<sock_filter> program{
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
    for (const auto& [call, error] : answers.failing) {
        const std::uint32_t answer = SECCOMP_RET_ERRNO | static_cast<std::uint32_t>(error);
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, call, 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, answer));
    }
    if (answers.nameless) {
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 3));
        program.push_back(BPF_STMT(BPF_LD | BPF_W | BPF_ABS, Flags)); // the low half (x86-64)
        program.push_back(BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, O_TMPFILE & ~O_DIRECTORY, 0, 1));
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EOPNOTSUPP));
    }
    program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    const sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// Stops the writer at each openat (a seccomp listener, served by a thread that the filter does
// not cover) and, once the output has been opened, swaps folder/proj for a link to
// folder/victim at the next folder the writer opens. False when the kernel cannot.
bool swapFolderMidWrite(const std::filesystem::path& folder) {
    int handoff[2];
    if (::pipe(handoff) != 0) {
        return false;
    }
    const std::string proj = (folder / "proj").string();
    const std::string moved = (folder / "moved").string();
    std::thread([proj, moved, from = handoff[0]] {
        int listener = -1;
        if (::read(from, &listener, sizeof listener) != sizeof listener) {
            return;
        }
        int stage = 0;
        for (;;) {
            seccomp_notif request{};
            if (::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &request) != 0) {
                if (errno == EINTR) {
                    continue;
                }
                return;
            }
            const std::string_view name(reinterpret_cast<const char*>(request.data.args[1]));
            if (stage == 0 && name.ends_with("out.dat")) {
                stage = 1;
            } else if (stage == 1 && (request.data.args[2] & O_DIRECTORY) != 0) {
                stage = ::rename(proj.c_str(), moved.c_str()) == 0 &&
                                ::symlink("victim", proj.c_str()) == 0
                            ? 2
                            : 3;
            }
            seccomp_notif_resp response{};
            response.id = request.id;
            response.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
            ::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &response);
        }
    }).detach();
    sock_filter opens[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_openat, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    const sock_fprog program{std::size(opens), opens};
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        return false;
    }
    const int listener = static_cast<int>(::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER,
                                                    SECCOMP_FILTER_FLAG_NEW_LISTENER, &program));
    return listener >= 0 && ::write(handoff[1], &listener, sizeof listener) == sizeof listener;
}

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

constexpr std::size_t SparseData = 5000;

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

std::string oldContents(const FaultCase& row) {
    return row.fault == Fault::SparseOldFile
               ? oldBytes(SparseData) + std::string(row.oldSize - SparseData, '\0')
               : oldBytes(row.oldSize);
}

struct Outcome {
    int error = -1;
    std::string report;
    std::string bytes;      // of out.dat afterwards; "(none)" when it does not exist
    std::string mode;       // its permission bits, octal
    std::string names;      // everything in the folder afterwards, sorted
    std::size_t leaked = 0; // bytes the eavesdropper read
    std::string attributes; // the old file's extended attributes, then the new one's
};

// name=hex value; ... for every extended attribute of path.
std::string attributesOf(const std::string& path) {
    char names[4096];
    const ssize_t size = ::listxattr(path.c_str(), names, sizeof names);
    std::ostringstream listing;
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        unsigned char value[4096];
        const ssize_t length = ::getxattr(path.c_str(), names + at, value, sizeof value);
        listing << names + at << "=" << std::hex;
        for (ssize_t k = 0; k < length; ++k) {
            listing << static_cast<int>(value[k]) << ".";
        }
        listing << ";";
    }
    return listing.str();
}

// Forked before the write: watches the folder as user nobody and keeps open whatever it can
// open there; when told the write is done, it reads all it holds and reports how many bytes.
pid_t startEavesdropper(const std::filesystem::path& folder, const int done[2],
                        const int report[2]) {
    int ready[2];
    if (::pipe(ready) != 0) {
        return -1;
    }
    const pid_t spy = ::fork();
    if (spy == 0) {
        ::close(done[1]);
        ::close(report[0]);
        const int watch = ::inotify_init1(IN_CLOEXEC);
        const int folderFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (watch < 0 || ::inotify_add_watch(watch, folder.c_str(), IN_CREATE | IN_MOVED_TO) < 0 ||
            ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0 || ::write(ready[1], "x", 1) != 1) {
            ::_exit(1);
        }
        std::vector<int> held;
        for (bool finished = false; !finished;) {
            pollfd fds[2] = {{watch, POLLIN, 0}, {done[0], POLLIN, 0}};
            ::poll(fds, 2, 10000);
            finished = fds[0].revents == 0;
            alignas(inotify_event) char events[8192];
            const ssize_t got = fds[0].revents != 0 ? ::read(watch, events, sizeof events) : 0;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                const int fd = ::openat(folderFd, event->name, O_RDONLY | O_NONBLOCK);
                if (fd >= 0) {
                    held.push_back(fd);
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        std::size_t leaked = 0;
        for (const int fd : held) {
            char buffer[65536];
            for (ssize_t n;
                 (n = ::pread(fd, buffer, sizeof buffer, static_cast<off_t>(leaked))) > 0;) {
                leaked += static_cast<std::size_t>(n);
            }
        }
        ::_exit(::write(report[1], &leaked, sizeof leaked) == sizeof leaked ? 0 : 1);
    }
    char byte = 0;
    ::close(ready[1]);
    const bool started = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    return started ? spy : -1;
}

// Where the fault's writer writes, and where its file is afterwards: in its folder, wherever
// that has been moved.
struct Paths {
    std::string out;
    std::filesystem::path written;
};

Paths pathsOf(const FaultCase& row, const std::filesystem::path& folder) {
    if (row.fault == Fault::RelativeUnderClosedFolder) {
        return {"out.dat", "."};
    }
    if (row.fault == Fault::SwappedFolder) {
        return {(folder / "proj/out.dat").string(), folder / "moved"};
    }
    return {(folder / "out.dat").string(), folder};
}

// In the writing child: the folder the fault needs, before any file is made in it.
void prepareFolder(const FaultCase& row, const std::filesystem::path& folder) {
    if (row.fault == Fault::RelativeUnderClosedFolder) {
        std::filesystem::create_directory(folder / "inner");
        if (::chmod((folder / "inner").c_str(), 0777) != 0 ||
            ::chdir((folder / "inner").c_str()) != 0) {
            ::_exit(Unsupported);
        }
    }
    if (row.fault == Fault::SwappedFolder) {
        std::filesystem::create_directory(folder / "proj");
        std::filesystem::create_directory(folder / "victim");
        writeFile((folder / "victim/out.dat").string(), VictimBytes);
    }
    if (row.fault == Fault::FullDisk) {
        const std::string size = "size=" + std::to_string(row.limit);
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) != 0) {
            ::_exit(Unsupported);
        }
    }
}

// In the writing child: what lies at out before the write. Returns the attributes the new
// file must get (the old file's, or what any other program's new file gets there), and sets
// reader to a process waiting to read a FIFO.
std::string makeOldFile(const FaultCase& row, const std::filesystem::path& folder,
                        const std::string& out, pid_t& reader) {
    if (row.fault == Fault::SparseOldFile) {
        writeFile(out, oldBytes(SparseData));
        if (::truncate(out.c_str(), static_cast<off_t>(row.oldSize)) != 0) {
            ::_exit(Unsupported);
        }
    } else if (row.oldSize > 0) {
        writeFile(out, oldBytes(row.oldSize));
    }
    ::chmod(out.c_str(), row.oldMode);
    if (row.fault == Fault::LinkToDevice) {
        std::filesystem::create_symlink("/dev/full", out);
    }
    if (row.fault == Fault::FifoWithReader) {
        if (::mkfifo(out.c_str(), 0600) != 0 || (reader = ::fork()) < 0) {
            ::_exit(Unsupported);
        }
        if (reader == 0) {
            ::_exit(::open(out.c_str(), O_RDONLY) >= 0 ? 0 : 1); // released by any writer
        }
    }
    if (row.fault == Fault::DefaultAccessList) {
        // What any other program's new file gets there: a file made by open(O_CREAT, 0666).
        const std::string touched = (folder / "touched").string();
        const std::string command = "setfacl -d -m u:daemon:rw '" + folder.string() + "'";
        int fd = -1;
        struct stat info {};
        if (::chmod(folder.c_str(), 0750) != 0 || std::system(command.c_str()) != 0 ||
            (fd = ::open(touched.c_str(), O_CREAT | O_WRONLY, 0666)) < 0 ||
            ::fstat(fd, &info) != 0) {
            ::_exit(Unsupported);
        }
        ::close(fd);
        const std::string before = attributesOf(touched) + std::to_string(info.st_mode & 07777);
        ::unlink(touched.c_str());
        return before;
    }
    if (row.fault == Fault::Attributes) {
        const std::string command = "setfacl -m u:daemon:r '" + out + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0 ||
            ::setxattr(out.c_str(), "user.qurimo", "kept", 4, 0) != 0) {
            ::_exit(Unsupported);
        }
        return attributesOf(out);
    }
    return "";
}

// In the writing child: becomes the user, with the limits and the file system, that the fault
// writes as. Returns the eavesdropper, if any: its process, and the pipes that tell it the
// write is done and bring back what it read.
struct Eavesdropper {
    pid_t pid = -1;
    int done[2] = {-1, -1};
    int report[2] = {-1, -1};
};

Eavesdropper becomeTheWriter(const FaultCase& row, const std::filesystem::path& folder,
                             const std::string& out) {
    const auto asNobody = [] { return ::setgid(Nobody) == 0 && ::setuid(Nobody) == 0; };
    if (row.fault == Fault::GroupMember) {
        const gid_t team[] = {Team};
        if (::chown(out.c_str(), 1, Team) != 0 || ::chmod(folder.c_str(), 0777) != 0 ||
            ::setgroups(1, team) != 0 || !asNobody()) {
            ::_exit(Unsupported);
        }
    }
    if (row.fault == Fault::PlantedLink) {
        // The victim, nobody, owns thesis; the link is daemon's, in root's sticky folder.
        const std::string thesis = (folder / "thesis").string();
        writeFile(thesis, oldBytes(row.limit));
        std::filesystem::create_symlink(thesis, out);
        if (::chown(thesis.c_str(), Nobody, Nobody) != 0 || ::lchown(out.c_str(), 1, 1) != 0 ||
            ::chmod(folder.c_str(), 01777) != 0 || !asNobody()) {
            ::_exit(Unsupported);
        }
    }
    Eavesdropper spy;
    if (row.fault == Fault::Eavesdropper || row.fault == Fault::EavesdropperWithoutTmpfile) {
        ::chmod(folder.c_str(), 0755);
        if (::pipe(spy.done) != 0 || ::pipe(spy.report) != 0 ||
            (spy.pid = startEavesdropper(folder, spy.done, spy.report)) < 0) {
            ::_exit(Unsupported);
        }
    }
    if (row.fault == Fault::AppendOnlyWithoutTmpfile) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = FS_APPEND_FL;
        if (fd < 0 || ::ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0) {
            ::_exit(Unsupported);
        }
        ::close(fd);
    }
    if (row.fault == Fault::FileSizeLimit) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{row.limit, row.limit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (row.fault == Fault::RelativeUnderClosedFolder &&
        (::chmod(folder.c_str(), 0700) != 0 || !asNobody())) {
        ::_exit(Unsupported);
    }
    if (row.fault == Fault::Unprivileged) {
        const bool root = ::geteuid() == 0;
        if (row.folderWritable ? root && ::chown(folder.c_str(), Nobody, Nobody) != 0
                               : ::chmod(folder.c_str(), 0555) != 0) {
            ::_exit(Unsupported);
        }
        if (::geteuid() == 0 && !asNobody()) {
            ::_exit(Unsupported);
        }
    }
    if (!answerAsFaultyFileSystem(row.fault) ||
        (row.fault == Fault::SwappedFolder && !swapFolderMidWrite(folder))) {
        ::_exit(Unsupported);
    }
    return spy;
}

// In the writing child, after the write: what is in the folder, the written file's bytes,
// mode and what the fault's row looks at besides.
void observe(const FaultCase& row, const std::filesystem::path& folder, const Paths& paths,
             const std::string& attributesBefore, pid_t reader, Outcome& outcome) {
    const std::string result = (paths.written / "out.dat").string();
    struct stat info {};
    outcome.bytes = row.fault == Fault::PlantedLink       ? readFile((folder / "thesis").string())
                    : ::lstat(result.c_str(), &info) != 0 ? "(none)"
                    : S_ISFIFO(info.st_mode)              ? "(FIFO)"
                    : S_ISLNK(info.st_mode) ? "-> " + std::filesystem::read_symlink(result).string()
                                            : readFile(result);
    std::ostringstream mode;
    mode << std::oct << (info.st_mode & 07777);
    outcome.mode = mode.str();
    if (row.fault == Fault::Attributes) {
        outcome.attributes = attributesBefore + "|" + attributesOf(paths.out);
    } else if (row.fault == Fault::DefaultAccessList) {
        outcome.attributes =
            attributesBefore + "|" + attributesOf(paths.out) + std::to_string(info.st_mode & 07777);
    } else if (row.fault == Fault::GroupMember) {
        outcome.attributes = "group " + std::to_string(info.st_gid);
    } else if (row.fault == Fault::SwappedFolder) {
        outcome.attributes = readFile((folder / "victim/out.dat").string());
    } else if (row.fault == Fault::SparseOldFile) {
        outcome.attributes = std::to_string(info.st_blocks * 512);
    } else if (reader > 0) {
        ::usleep(200000); // time enough for a released reader to end
        int status = 0;
        outcome.attributes = ::waitpid(reader, &status, WNOHANG) == reader ? "released" : "";
        ::kill(reader, SIGKILL);
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(paths.written)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
        outcome.names += name + " ";
    }
}

// The outcome as the child sends it to the parent: its fields separated by NUL, the bytes last.
std::string encoded(const Outcome& outcome) {
    return std::to_string(outcome.error) + '\0' + outcome.report + '\0' + outcome.mode + '\0' +
           outcome.names + '\0' + std::to_string(outcome.leaked) + '\0' + outcome.attributes +
           '\0' + outcome.bytes;
}

Outcome decoded(const std::string& message) {
    Outcome outcome;
    std::istringstream parts(message);
    std::string number;
    std::getline(parts, number, '\0');
    outcome.error = std::stoi(number);
    std::getline(parts, outcome.report, '\0');
    std::getline(parts, outcome.mode, '\0');
    std::getline(parts, outcome.names, '\0');
    std::getline(parts, number, '\0');
    outcome.leaked = std::stoul(number);
    std::getline(parts, outcome.attributes, '\0');
    outcome.bytes.assign(std::istreambuf_iterator<char>(parts), {});
    return outcome;
}

// The writing child: sets the fault up, writes, looks and sends what it saw to channel.
[[noreturn]] void writeInChild(const FaultCase& row, const std::filesystem::path& folder,
                               int channel) {
    ::alarm(20); // a writer that loops ends the test rather than hangs it
    const Paths paths = pathsOf(row, folder);
    prepareFolder(row, folder);
    pid_t reader = -1;
    const std::string attributesBefore = makeOldFile(row, folder, paths.out, reader);
    const Eavesdropper spy = becomeTheWriter(row, folder, paths.out);
    Outcome outcome;
    outcome.error = 0;
    try {
        WriteLibraryFile(paths.out, bigTable());
    } catch (const RuntimeError& error) {
        outcome.error = error.number();
        outcome.report = error.what();
    }
    if (spy.pid > 0) {
        ::close(spy.done[1]);
        ::close(spy.report[1]);
        int status = 0;
        if (::read(spy.report[0], &outcome.leaked, sizeof outcome.leaked) !=
                sizeof outcome.leaked ||
            ::waitpid(spy.pid, &status, 0) != spy.pid) {
            ::_exit(1);
        }
    }
    observe(row, folder, paths, attributesBefore, reader, outcome);
    const std::string message = encoded(outcome);
    for (std::size_t at = 0; at < message.size();) {
        const ssize_t put = ::write(channel, message.data() + at, message.size() - at);
        if (put <= 0) {
            ::_exit(1);
        }
        at += static_cast<std::size_t>(put);
    }
    ::_exit(0);
}

// Sets the fault up and writes in a child process, so that limits, a mount namespace and a
// changed user end with it; the child looks at the folder itself, since a tmpfs is seen only
// there.
Outcome writeWithFault(const FaultCase& row, const std::filesystem::path& folder) {
    int channel[2];
    if (::pipe(channel) != 0) {
        throw std::runtime_error("pipe");
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        writeInChild(row, folder, channel[1]);
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
    if (row.fault == Fault::AppendOnlyWithoutTmpfile) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        int flags = 0;
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags); // so that the folder can be removed again
        ::close(fd);
    }
    if (row.folderWritable && ::geteuid() == 0 && ::chown(folder.c_str(), 0, 0) != 0) {
        ADD_FAILURE() << "cannot take the folder back";
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        Outcome died;
        died.error = WIFEXITED(status) && WEXITSTATUS(status) == Unsupported ? -Unsupported : -1;
        return died;
    }
    return decoded(message);
}

// Turns the kernel's protection against planted links on for one test, and back as it was.
struct ProtectedSymlinks {
    explicit ProtectedSymlinks(bool wanted) : was(wanted ? read() : '\0') {
        if (wanted) {
            set('1');
        }
    }
    ~ProtectedSymlinks() {
        if (was != '\0' && was != '1') {
            set(was);
        }
    }
    static char read() {
        const std::string value = readFile("/proc/sys/fs/protected_symlinks");
        return value.empty() ? '\0' : value[0];
    }
    static void set(char value) {
        const int fd = ::open("/proc/sys/fs/protected_symlinks", O_WRONLY);
        if (fd >= 0 && ::write(fd, &value, 1) != 1) {
            errno = 0;
        }
        ::close(fd);
    }
    const char was;
};

class WriteFault : public testing::TestWithParam<FaultCase> {
protected:
    TempDir dir;
};

TEST_P(WriteFault, LosesNoByteAndLeavesNoFile) {
    const FaultCase& row = GetParam();
    const bool needsRoot = row.fault == Fault::FullDisk || row.fault == Fault::Eavesdropper ||
                           row.fault == Fault::EavesdropperWithoutTmpfile ||
                           row.fault == Fault::PlantedLink || row.fault == Fault::GroupMember ||
                           row.fault == Fault::AppendOnlyWithoutTmpfile ||
                           row.fault == Fault::RelativeUnderClosedFolder;
    if (needsRoot && ::geteuid() != 0) {
        GTEST_SKIP() << "this fault needs root to mount or to act as two users";
    }
    const ProtectedSymlinks protection(row.fault == Fault::PlantedLink);
    if (row.fault == Fault::PlantedLink && ProtectedSymlinks::read() != '1') {
        GTEST_SKIP() << "fs.protected_symlinks cannot be set to 1 here";
    }
    const Outcome outcome = writeWithFault(row, dir.path());
    if (outcome.error == -Unsupported) {
        GTEST_SKIP() << "the fault could not be set up here (no mount namespace, no access list)";
    }
    ASSERT_GE(outcome.error, 0) << "the writing process died";
    EXPECT_EQ(outcome.error, row.error) << outcome.report;
    EXPECT_NE(outcome.report.find(row.reason), std::string::npos) << outcome.report;
    const bool fileThere = row.error == 0 || row.oldSize > 0 || row.fault == Fault::LinkToDevice ||
                           row.fault == Fault::FifoWithReader;
    EXPECT_EQ(outcome.names, row.fault == Fault::PlantedLink ? "out.dat thesis "
                             : fileThere                     ? "out.dat "
                                                             : "")
        << "nothing but the library, if any";
    EXPECT_EQ(outcome.leaked, 0u) << "another user read the new library before it was whole";
    if (row.fault == Fault::Attributes || row.fault == Fault::DefaultAccessList) {
        const std::size_t bar = outcome.attributes.find('|');
        EXPECT_EQ(outcome.attributes.substr(bar + 1), outcome.attributes.substr(0, bar));
        EXPECT_NE(outcome.attributes.find("system.posix_acl_access="), std::string::npos);
    }
    if (row.fault == Fault::GroupMember) {
        EXPECT_EQ(outcome.attributes, "group " + std::to_string(Team)) << "the group was lost";
    }
    if (row.fault == Fault::FifoWithReader) {
        EXPECT_EQ(outcome.attributes, "") << "the FIFO was opened, which released its reader";
    }
    if (row.fault == Fault::SparseOldFile) {
        EXPECT_LT(std::stoul(outcome.attributes), 1u << 20) << "the old tail's hole was filled";
    }
    if (row.fault == Fault::SwappedFolder) {
        EXPECT_TRUE(outcome.attributes == VictimBytes)
            << "the file in the folder put in place of the output's folder was replaced";
    }
    const std::string written = serializeLibrary(bigTable());
    if (row.error == 0) {
        const std::string old = oldContents(row);
        const std::string tail = old.size() > written.size() ? old.substr(written.size()) : "";
        EXPECT_TRUE(outcome.bytes == written + tail) << "the new library, then the old tail";
        std::ostringstream mode;
        mode << std::oct << row.oldMode;
        EXPECT_EQ(outcome.mode, mode.str()) << "the old file's permissions";
    } else if (row.fault == Fault::LinkToDevice) {
        EXPECT_EQ(outcome.bytes, "-> /dev/full");
    } else if (row.oldSize > 0 || row.fault == Fault::PlantedLink) {
        EXPECT_TRUE(outcome.bytes ==
                    (row.fault == Fault::PlantedLink ? oldBytes(row.limit) : oldContents(row)))
            << "the old file must stay whole";
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
                  "没有访问权限：当前用户不能写这个文件"},
        FaultCase{"WritableOldFileInReadOnlyFolder", Fault::Unprivileged, 5000, 0666, 0, false, 75,
                  "没有访问权限：不能在这个文件夹中新建或替换"},
        FaultCase{"NoOldFileInReadOnlyFolder", Fault::Unprivileged, 0, 0, 0, false, 75,
                  "没有访问权限：不能在这个文件夹中新建或替换"},
        FaultCase{"LinkToDevFull", Fault::LinkToDevice, 0, 0, 0, false, 75,
                  "这不是普通文件：是一个字符设备"},
        FaultCase{"PrivateUntilWhole", Fault::Eavesdropper, 30000000, 0600, 0, false, 0, ""},
        FaultCase{"PrivateUntilWholeWithoutNamelessFiles", Fault::EavesdropperWithoutTmpfile,
                  30000000, 0600, 0, false, 0, ""},
        FaultCase{"SyncFailsOldFileKept", Fault::SyncFails, 5000, 0644, 0, false, 75,
                  "读写设备时出错"},
        FaultCase{"CloseFailsOldFileKept", Fault::CloseFails, 5000, 0644, 0, false, 75,
                  "读写设备时出错"},
        FaultCase{"CloseFailsWithoutNamelessFilesOldFileKept", Fault::CloseFailsWithoutTmpfile,
                  5000, 0644, 0, false, 75, "读写设备时出错"},
        FaultCase{"PlantedLinkInStickyFolder", Fault::PlantedLink, 0, 0, 5000, false, 75,
                  "其他用户建立的符号链接"},
        FaultCase{"AccessListAndAttributesKept", Fault::Attributes, 5000, 0640, 0, false, 0, ""},
        FaultCase{"NoLocksWithoutNamelessFiles", Fault::NoLocksWithoutTmpfile, 5000, 0644, 0, false,
                  0, ""},
        FaultCase{"FolderSwappedAfterTheOutputWasOpened", Fault::SwappedFolder, 5000, 0644, 0,
                  false, 0, ""},
        FaultCase{"GroupMemberKeepsTheGroup", Fault::GroupMember, 5000, 0660, 0, false, 0, ""},
        FaultCase{"FifoIsRefusedUnopened", Fault::FifoWithReader, 0, 0600, 0, false, 75,
                  "这不是普通文件：是一个管道"},
        FaultCase{"AppendOnlyFolderWithoutNamelessFiles", Fault::AppendOnlyWithoutTmpfile, 0, 0, 0,
                  false, 75, "只允许追加"},
        FaultCase{"RelativeNameUnderAFolderThatCannotBeSearched", Fault::RelativeUnderClosedFolder,
                  5000, 0666, 0, false, 0, ""},
        FaultCase{"SparseOldTailStaysSparse", Fault::SparseOldFile, 64 << 20, 0644, 0, false, 0,
                  ""},
        FaultCase{"NewFileTakesTheFolderDefaultAccessList", Fault::DefaultAccessList, 0, 0660, 0,
                  false, 0, ""}),
    RowName);

// Writes killed at random moments leave, after the next write, the library alone in its
// folder, whole.
TEST(KilledWrites, LeaveNothingAfterTheNextWrite) {
    TempDir dir;
    const std::string out = dir.file("out.dat");
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (;;) {
                WriteLibraryFile(out, bigTable());
            }
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 4000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
    }
    WriteLibraryFile(out, bigTable());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_TRUE(readFile(out) == serializeLibrary(bigTable()));
}

// Every errno that opening, reading, writing, syncing, linking or renaming a file can give the
// writer has a reason in words.
TEST(FileErrors, EveryReasonIsInWords) {
    for (const int number :
         {EACCES, EPERM,        ENOENT, ENOTDIR, EISDIR,    EROFS,  ENOSPC,  EFBIG,     EDQUOT,
          ELOOP,  ENAMETOOLONG, EIO,    EMFILE,  ENFILE,    ENOMEM, ETXTBSY, EBUSY,     ESPIPE,
          ENXIO,  ENODEV,       EEXIST, EXDEV,   EAGAIN,    EINTR,  EMLINK,  EINVAL,    EOPNOTSUPP,
          ENOSYS, EOVERFLOW,    EBADF,  ESTALE,  ETIMEDOUT, ENOLCK, EDEADLK, ENOTEMPTY, EFAULT}) {
        try {
            throwFileError(number, "out.dat");
        } catch (const RuntimeError& error) {
            EXPECT_EQ(error.detail().find("错误码"), std::string::npos) << number;
        }
    }
}

} // namespace
