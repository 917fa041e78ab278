// Times a program's start-up as a player sees it: from starting the process to
// its first top-level window mapped on the X server, and to the first drawing
// into that window (its first frame). Both are events of the server, so the
// times are exact to well under a millisecond, whatever the program.
//
//   bench_startup [--timeline] <program> [arguments...]
//
// Prints the two times in milliseconds on one line, "mapped first-frame", then
// ends the program (SIGTERM). With --timeline the program is started with
// ZORBAN_STARTUP_TIMELINE set, its stderr is read for the stages it marks
// ("zorban-startup: <stage> <monotonic ns>"), and each is printed after that
// line as "timeline <ms since start> <stage>", those that come within half a
// second after the first frame too. Exit code 1 when the program ends or fails to map
// a window and draw into it within 20 s.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

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

// Reads what the program has written on its stderr so far and keeps each
// timeline mark as (ms since started, stage).
class TimelineReader {
  public:
    explicit TimelineReader(int fd) : fd_(fd) {}
    // False once the program has closed its stderr.
    bool read(Clock::time_point started) {
        char bytes[4096];
        ssize_t count = 0;
        while ((count = ::read(fd_, bytes, sizeof bytes)) > 0) {
            pending_.append(bytes, static_cast<size_t>(count));
            size_t end = 0;
            while ((end = pending_.find('\n')) != std::string::npos) {
                take(pending_.substr(0, end), started);
                pending_.erase(0, end + 1);
            }
        }
        return count != 0;
    }
    void print() const {
        for (const auto& [ms, stage] : marks_)
            std::printf("timeline %.1f %s\n", ms, stage.c_str());
    }

  private:
    void take(const std::string& line, Clock::time_point started) {
        static const char kPrefix[] = "zorban-startup: ";
        if (line.compare(0, sizeof kPrefix - 1, kPrefix) != 0)
            return;
        const size_t lastSpace = line.rfind(' ');
        const std::string stage = line.substr(sizeof kPrefix - 1, lastSpace - (sizeof kPrefix - 1));
        const long long ns = std::atoll(line.c_str() + lastSpace + 1);
        const long long startedNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(started.time_since_epoch())
                .count();
        marks_.emplace_back((ns - startedNs) / 1e6, stage);
    }
    int fd_;
    std::string pending_;
    std::vector<std::pair<double, std::string>> marks_;
};

} // namespace

int main(int argc, char* argv[]) {
    const bool timeline = argc > 1 && std::strcmp(argv[1], "--timeline") == 0;
    if (timeline) {
        --argc;
        ++argv;
    }
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_startup [--timeline] <program> [arguments...]\n");
        return 2;
    }
    int marks[2] = {-1, -1};
    if (timeline && pipe2(marks, O_CLOEXEC) != 0) {
        std::perror("bench_startup: pipe");
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
        if (timeline) {
            setenv("ZORBAN_STARTUP_TIMELINE", "1", 1);
            dup2(marks[1], STDERR_FILENO);
        }
        execvp(argv[1], argv + 1);
        std::perror("bench_startup: exec");
        _exit(127);
    }
    if (child < 0) {
        std::perror("bench_startup: fork");
        return 2;
    }

    if (timeline) {
        close(marks[1]);
        fcntl(marks[0], F_SETFL, O_NONBLOCK);
    }
    TimelineReader timelineMarks(marks[0]);
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
        if (timeline)
            timelineMarks.read(started);
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
    if (timeline) {
        // What the program does right after its first frame.
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(500);
        pollfd stderrOfChild{marks[0], POLLIN, 0};
        for (;;) {
            if (!timelineMarks.read(started))
                break;
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now()).count();
            if (left <= 0 || poll(&stderrOfChild, 1, static_cast<int>(left)) <= 0)
                break;
        }
        timelineMarks.print();
    }
    std::fflush(stdout);
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    XCloseDisplay(display); // with the damage watches still open
    return firstFrameMs >= 0 ? 0 : 1;
}
