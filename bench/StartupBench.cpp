// Start-up benchmark: time from starting pixolva until its main window is mapped, and its
// resident memory right after, as the median of repeated runs. Run on a private Xvfb:
//   tests/support/with-x11-desktop.sh -- build/bench/bench_startup build/pixolva [runs]
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char **environ;

namespace {
using Clock = std::chrono::steady_clock;

long ResidentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

template <typename T>
T Median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Waits for the first top-level window to be mapped; false after the timeout.
bool WaitForMap(xcb_connection_t *c, Clock::time_point deadline)
{
    const int fd = xcb_get_file_descriptor(c);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped)
                return true;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval tv{0, 1000};
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }
    return false;
}
}

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH_TO_PIXOLVA [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 21;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    std::vector<double> millis;
    std::vector<long> kib;
    for (int i = 0; i < runs + 1; ++i) { // the first run writes the language file; not counted
        char *child_argv[] = {argv[1], nullptr};
        pid_t pid = 0;
        const auto start = Clock::now();
        if (posix_spawn(&pid, argv[1], nullptr, nullptr, child_argv, environ) != 0) {
            std::perror("posix_spawn");
            return 1;
        }
        const bool mapped = WaitForMap(c, start + std::chrono::seconds(10));
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        // Memory once the first paint has settled.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const long rss = ResidentKiB(pid);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        if (!mapped) {
            std::fprintf(stderr, "run %d: no window mapped\n", i);
            return 1;
        }
        if (i > 0) {
            millis.push_back(ms);
            kib.push_back(rss);
        }
    }
    std::printf("runs: %d\n", runs);
    std::printf("start-up to window mapped: median %.1f ms (min %.1f, max %.1f)\n", Median(millis),
                *std::min_element(millis.begin(), millis.end()), *std::max_element(millis.begin(), millis.end()));
    std::printf("resident memory after start: median %.1f MiB\n", Median(kib) / 1024.0);
    xcb_disconnect(c);
    return 0;
}
