// SPDX-License-Identifier: GPL-3.0-or-later
// bench-receive-reader: the baseline of the receive benchmark. A plain loop
// that reads the device into memory and counts the bytes, with a 500 ms tick
// of its own so its tick gaps can stand next to the window's. Speaks the same
// lines as bench-receive-app.

#include "benchkit.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr double TickSeconds = 0.5;

int run(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench-receive-reader DEVICE EXPECTED_BYTES\n");
        return 2;
    }
    const long long expected = std::atoll(argv[2]);
    const int fd = ::open(argv[1], O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        std::printf("error cannot open %s\n", argv[1]);
        return 1;
    }
    termios t{};
    ::tcgetattr(fd, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(fd, TCSANOW, &t);

    static char buffer[65536];
    long long arrived = 0;
    double lastTick = bench::now();
    double longestGap = 0;
    int ticks = 0;
    const double cpuAtStart = bench::cpuSeconds();
    bench::printReport("ready", {{"rss_mib", bench::rssMiB()}, {"peak_mib", bench::peakRssMiB()}});

    // As in the window, the report waits for the tick after the last byte.
    double doneAt = 0;
    double cpuAtDone = 0;
    bool done = false;
    for (;;) {
        const double wait = lastTick + TickSeconds - bench::now();
        pollfd p[2] = {{fd, POLLIN, 0}, {0, POLLIN, 0}};
        const int ready = ::poll(p, 2, std::max(0, static_cast<int>(wait * 1000)));
        if (ready < 0 && errno != EINTR)
            throw std::runtime_error("poll failed");
        if (p[0].revents & POLLIN) {
            for (;;) {
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n <= 0)
                    break;
                arrived += n;
            }
        }
        if (!done && arrived >= expected) {
            done = true;
            doneAt = bench::now();
            cpuAtDone = bench::cpuSeconds();
        }
        if (p[1].revents & (POLLIN | POLLHUP)) {
            char line[256];
            const ssize_t n = ::read(0, line, sizeof line);
            if (n <= 0 || std::string(line, static_cast<std::size_t>(n)).find("stop") == 0)
                break;
        }
        const double t = bench::now();
        if (t >= lastTick + TickSeconds) {
            // A tick: nothing to do but note when it came.
            longestGap = std::max(longestGap, t - lastTick);
            lastTick = t;
            ++ticks;
            if (done)
                break;
        }
    }
    if (!done) {
        doneAt = bench::now();
        cpuAtDone = bench::cpuSeconds();
    }
    bench::printReport("report", {{"complete", arrived >= expected ? 1 : 0},
                                  {"arrived", double(arrived)},
                                  {"done_at", doneAt},
                                  {"cpu", cpuAtDone - cpuAtStart},
                                  {"peak_mib", bench::peakRssMiB()},
                                  {"max_gap_ms", longestGap * 1000},
                                  {"max_tick_ms", 0},
                                  {"ticks", double(ticks)},
                                  {"errors", 0}});
    ::close(fd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
