// Times a program's start-up as a player sees it: from starting the process to
// its first top-level window mapped on the X server. The mapping is an event,
// so the time is exact to well under a millisecond, whatever the program.
//
//   bench_startup <program> [arguments...]
//
// Prints the milliseconds, then ends the program (SIGTERM). Exit code 1 when the
// program ends or fails to map a window within 20 s.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// The process id a window's owner has put on it (_NET_WM_PID), or 0.
long windowPid(Display* display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data && format == 32 && count == 1)
        pid = *reinterpret_cast<long*>(data);
    if (data)
        XFree(data);
    return pid;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <program> [arguments...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "bench_startup: cannot open the display\n");
        return 2;
    }
    // Every window mapped on the root window is reported to us.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    const Clock::time_point started = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("bench_startup: exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("bench_startup: fork");
        return 2;
    }

    const Clock::time_point giveUp = started + std::chrono::seconds(20);
    pollfd connection{ConnectionNumber(display), POLLIN, 0};
    double shownMs = -1;
    while (shownMs < 0) {
        while (XPending(display) > 0 && shownMs < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && windowPid(display, event.xmap.window) == child)
                shownMs = std::chrono::duration<double, std::milli>(Clock::now() - started).count();
        }
        if (shownMs >= 0)
            break;
        if (waitpid(child, nullptr, WNOHANG) == child) {
            std::fprintf(stderr, "bench_startup: %s ended before showing a window\n", argv[1]);
            return 1;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(giveUp - Clock::now()).count();
        if (left <= 0) {
            std::fprintf(stderr, "bench_startup: %s showed no window in 20 s\n", argv[1]);
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
            return 1;
        }
        // Woken by the X server's events, or every 50 ms to see whether the child ended.
        if (poll(&connection, 1, static_cast<int>(left < 50 ? left : 50)) < 0 && errno != EINTR)
            break;
    }
    std::printf("%.1f\n", shownMs);
    std::fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display);
    return shownMs >= 0 ? 0 : 1;
}
