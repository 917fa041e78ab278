// Times a program's start-up as a player sees it: from starting the process to
// its first top-level window mapped on the X server, and to the first drawing
// into that window (its first frame). Both are events of the server, so the
// times are exact to well under a millisecond, whatever the program.
//
//   bench_startup <program> [arguments...]
//
// Prints the two times in milliseconds on one line, "mapped first-frame", then
// ends the program (SIGTERM). Exit code 1 when the program ends or fails to map
// a window and draw into it within 20 s.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
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
    int damageEvent = 0;
    int damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        std::fprintf(stderr, "bench_startup: the X server has no DAMAGE extension\n");
        return 2;
    }
    // A window may be gone by the time its drawing is to be watched: the X
    // server's errors are not fatal here.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    // Every window created or mapped on the root window is reported to us.
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
    auto msSinceStart = [&] {
        return std::chrono::duration<double, std::milli>(Clock::now() - started).count();
    };
    // Drawing into each new top-level window is watched from its creation, well
    // before it can be mapped and drawn into.
    std::map<Window, Damage> watched; // by window, closed with the display
    Window shown = None;
    double shownMs = -1;
    double firstFrameMs = -1;
    while (firstFrameMs < 0) {
        while (XPending(display) > 0 && firstFrameMs < 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                const Window window = event.xcreatewindow.window;
                watched.emplace(window, XDamageCreate(display, window, XDamageReportNonEmpty));
            } else if (event.type == MapNotify && shown == None &&
                       windowPid(display, event.xmap.window) == child) {
                shown = event.xmap.window;
                shownMs = msSinceStart();
            } else if (event.type == damageEvent + XDamageNotify) {
                const auto* damage = reinterpret_cast<const XDamageNotifyEvent*>(&event);
                if (shown != None && damage->drawable == shown)
                    firstFrameMs = msSinceStart();
            }
        }
        if (firstFrameMs >= 0)
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
    std::printf("%.1f %.1f\n", shownMs, firstFrameMs);
    std::fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display); // with the damage watches still open
    return firstFrameMs >= 0 ? 0 : 1;
}
