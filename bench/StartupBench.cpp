// Start-up benchmark: time from starting a program until its first window is mapped, and its
// resident memory right after, for pixolva, the bare window floor and the same window with one text
// field, in turn, as the median of repeated runs. Run on a private Xvfb:
//   dbus-run-session -- tests/support/with-x11-desktop.sh -- build/bench/bench_startup build/pixolva build/bench/floor_bare_window [runs]
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/select.h>
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

// Waits for a top-level window to be mapped; false after the timeout.
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

struct Run
{
    double ms = 0;
    long kib = 0;
};

// One start: spawn, wait for the map, let the first paint settle, read the memory, stop it.
bool StartOnce(xcb_connection_t *c, const char *program, const char *option, Run *run)
{
    char *argv[] = {const_cast<char *>(program), const_cast<char *>(option), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror("posix_spawn");
        return false;
    }
    const bool mapped = WaitForMap(c, start + std::chrono::seconds(10));
    run->ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    run->kib = ResidentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!mapped)
        std::fprintf(stderr, "%s: no window mapped\n", program);
    return mapped;
}
}

int main(int argc, char **argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PIXOLVA BARE_WINDOW [runs]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 21;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    // Not counted: pixolva's first start writes the language file, and both warm the page cache.
    // pixolva, the bare window, the bare window with a text field.
    const char *programs[3] = {argv[1], argv[2], argv[2]};
    const char *options[3] = {nullptr, nullptr, "--text"};
    Run warm;
    if (!StartOnce(c, argv[1], nullptr, &warm) || !StartOnce(c, argv[2], nullptr, &warm))
        return 1;
    std::vector<double> ms[3];
    std::vector<long> kib[3];
    for (int i = 0; i < runs; ++i) {
        // In turn, so that a change in the machine's load falls on all alike.
        for (int p = 0; p < 3; ++p) {
            Run run;
            if (!StartOnce(c, programs[p], options[p], &run))
                return 1;
            ms[p].push_back(run.ms);
            kib[p].push_back(run.kib);
        }
    }
    const double pixolva = Median(ms[0]), bare = Median(ms[1]);
    const double pixolvaMiB = Median(kib[0]) / 1024.0, bareMiB = Median(kib[1]) / 1024.0;
    std::printf("  %d starts each; pixolva %.1f..%.1f ms, bare window %.1f..%.1f ms\n", runs,
                *std::min_element(ms[0].begin(), ms[0].end()), *std::max_element(ms[0].begin(), ms[0].end()),
                *std::min_element(ms[1].begin(), ms[1].end()), *std::max_element(ms[1].begin(), ms[1].end()));
    std::printf("startup: %.2fx floor (pixolva %.1f ms, bare window %.1f ms)\n", pixolva / bare, pixolva, bare);
    std::printf("startup memory: %+.1f MiB over floor (pixolva %.1f MiB, bare window %.1f MiB)\n",
                pixolvaMiB - bareMiB, pixolvaMiB, bareMiB);
    const double text = Median(ms[2]), textMiB = Median(kib[2]) / 1024.0;
    std::printf("startup over a window with one text field: %.2fx (pixolva %.1f ms, %.1f ms; memory %+.1f MiB, "
                "%.1f MiB)\n",
                pixolva / text, pixolva, text, pixolvaMiB - textMiB, textMiB);
    xcb_disconnect(c);
    return 0;
}
