// SPDX-License-Identifier: MIT
// map_timer: times a program from exec to its first top-level window appearing on the X
// display, and reports the program's peak resident memory.
//
//   map_timer PROGRAM [ARGS...]
//
// Prints one line: "<milliseconds from exec to map> <peak RSS in KiB>".
//
// The tool selects SubstructureNotifyMask on the root window before starting PROGRAM, so it sees
// the MapNotify of every child of the root. Without a window manager (as on a bare Xvfb) a
// toolkit's top-level window is a direct child of the root and is mapped there itself; with a
// reparenting window manager the frame is mapped instead, and the first non-override-redirect
// map is still the one wanted. A window that carries _NET_WM_PID (Qt sets it) is only accepted
// when that pid is the child's; a window without it is accepted as the child's, so run this on
// a display that nothing else is using.
//
// The clock (CLOCK_MONOTONIC) starts just before fork() and stops when the MapNotify is read.
// The program is then left running for a short settle time (300 ms, or MAP_TIMER_SETTLE_MS)
// before SIGTERM, so that it paints its first frame and the peak RSS taken from wait4()
// reflects a fully started program; the settle time is not part of the reported milliseconds.
//
// Exit status: 0 on success, 1 on usage or X errors, 2 when no window appears within 30 s or
// the program exits or cannot be run before mapping one.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr double TimeoutMs = 30000.0;
constexpr long DefaultSettleMs = 300;

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1000.0 + static_cast<double>(ts.tv_nsec) / 1e6;
}

long settleMs() {
    const char* text = std::getenv("MAP_TIMER_SETTLE_MS");
    if (text == nullptr || *text == '\0') {
        return DefaultSettleMs;
    }
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return (*end == '\0' && value >= 0) ? value : DefaultSettleMs;
}

void sleepMs(long ms) {
    timespec ts{ms / 1000, (ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

// Whether window belongs to pid: true when its _NET_WM_PID is pid or when it has none.
bool belongsTo(Display* display, Window window, Atom netWmPid, pid_t pid) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, netWmPid, 0, 1, False, XA_CARDINAL,
                                          &type, &format, &count, &remaining, &data);
    bool mine = true;
    if (status == Success && data != nullptr && type == XA_CARDINAL && format == 32 && count == 1) {
        mine = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return mine;
}

// Ignores errors such as BadWindow from a window destroyed before its property is read.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

int giveUp(pid_t child, const char* why) {
    std::fprintf(stderr, "map_timer: %s\n", why);
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: map_timer PROGRAM [ARGS...]\n");
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "map_timer: cannot open display \"%s\"\n", XDisplayName(nullptr));
        return 1;
    }
    XSetErrorHandler(ignoreXError);
    const Window root = DefaultRootWindow(display);
    const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    const int xfd = ConnectionNumber(display);
    fcntl(xfd, F_SETFD, FD_CLOEXEC); // the child opens its own connection

    // Reports a failed exec: the child writes its errno; a successful exec closes the pipe.
    int execPipe[2];
    if (pipe2(execPipe, O_CLOEXEC) != 0) {
        std::perror("map_timer: pipe2");
        return 1;
    }

    const double start = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("map_timer: fork");
        return 1;
    }
    if (child == 0) {
        close(execPipe[0]);
        execvp(argv[1], argv + 1);
        const int error = errno;
        (void)!write(execPipe[1], &error, sizeof error);
        _exit(127);
    }
    close(execPipe[1]);
    int execError = 0;
    ssize_t got;
    while ((got = read(execPipe[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    close(execPipe[0]);
    if (got > 0) {
        std::fprintf(stderr, "map_timer: cannot run %s: %s\n", argv[1], std::strerror(execError));
        waitpid(child, nullptr, 0);
        return 2;
    }

    double mapped = -1.0;
    while (mapped < 0.0) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify || event.xmap.event != root ||
                event.xmap.override_redirect) {
                continue;
            }
            const double when = nowMs();
            if (belongsTo(display, event.xmap.window, netWmPid, child)) {
                mapped = when;
                break;
            }
        }
        if (mapped >= 0.0) {
            break;
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child) {
            std::fprintf(stderr, "map_timer: %s exited (status %d) before mapping a window\n",
                         argv[1], status);
            return 2;
        }
        const double left = start + TimeoutMs - nowMs();
        if (left <= 0.0) {
            return giveUp(child, "no window mapped within 30 s");
        }
        pollfd pfd{xfd, POLLIN, 0};
        // Wakes at least every 50 ms to notice a child that died without mapping anything.
        const int wait = left < 50.0 ? static_cast<int>(left) + 1 : 50;
        if (poll(&pfd, 1, wait) < 0 && errno != EINTR) {
            std::perror("map_timer: poll");
            return giveUp(child, "giving up");
        }
    }

    sleepMs(settleMs());
    kill(child, SIGTERM);
    // A program that ignores SIGTERM for 5 s is killed; its peak RSS is reported all the same.
    const double termDeadline = nowMs() + 5000.0;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t done = wait4(child, &status, WNOHANG, &usage);
        if (done == child) {
            break;
        }
        if (done < 0 && errno != EINTR) {
            std::perror("map_timer: wait4");
            return 1;
        }
        if (nowMs() > termDeadline) {
            kill(child, SIGKILL);
        }
        sleepMs(5);
    }
    XCloseDisplay(display);
    std::printf("%.1f %ld\n", mapped - start, usage.ru_maxrss);
    return 0;
}
