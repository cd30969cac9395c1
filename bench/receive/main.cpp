// SPDX-License-Identifier: GPL-3.0-or-later
// bench-receive: floods the real main window with received data through a
// pseudo-terminal and measures it next to a plain reader of the same kind of
// device under the same push, run after run.

#include "benchkit.h"
#include "streamtext.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <iostream>
#include <poll.h>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Load {
    std::string name;
    bool newlines;
    double rate; // bytes per second; 0 pushes as fast as the device takes it
    long long bytes;
    int rounds;
    // Peak memory allowed: above the window's own idle peak when set, else in all.
    double peakAboveIdleMiB = 0;
    double peakMiB = 200;
};

struct Outcome {
    long long pushed = 0;
    long long arrived = 0;
    double seconds = std::nan(""); // until everything had arrived
    double cpu = 0;
    double peakMiB = 0;
    double idlePeakMiB = 0; // once ready, before the first byte
    double longestGapMs = 0;
    double longestTickMs = 0;
};

std::string makeContent(const Load& load) {
    std::string content;
    content.reserve(static_cast<std::size_t>(load.bytes));
    StreamText text(load.newlines);
    text.take(static_cast<std::size_t>(load.bytes), content);
    return content;
}

// Writes content to the device side, paced at `rate` when it is not 0.
long long push(int master, const std::string& content, double rate, double start, double deadline) {
    std::size_t sent = 0;
    char discard[4096];
    while (sent < content.size() && bench::now() < deadline) {
        std::size_t allowed = content.size();
        if (rate > 0) {
            // In pieces of 10 ms worth, as a device with a small buffer sends.
            const std::size_t piece = std::min(content.size(), sent + std::size_t(rate / 100));
            allowed = std::min(allowed, static_cast<std::size_t>((bench::now() - start) * rate));
            if (allowed < piece) {
                bench::sleepFor(start + double(piece) / rate - bench::now());
                continue;
            }
        }
        pollfd p{master, POLLOUT | POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        if (p.revents & POLLIN) // nothing should come back, but never let it pile up
            while (::read(master, discard, sizeof discard) > 0) {
            }
        if (!(p.revents & POLLOUT))
            continue;
        const ssize_t n =
            ::write(master, content.data() + sent, std::min<std::size_t>(allowed - sent, 65536));
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("cannot write to the pseudo-terminal");
    }
    return static_cast<long long>(sent);
}

Outcome runOnce(bool app, const Load& load, const std::string& content) {
    bench::Pty pty;
    bench::TempDir home;
    std::vector<std::string> argv;
    std::vector<std::pair<std::string, std::string>> env;
    if (app) {
        argv = {bench::helperPath("bench-receive-app"), std::to_string(load.bytes)};
        env = {bench::configHomeFor(home, pty.path())};
    } else {
        argv = {bench::helperPath("bench-receive-reader"), pty.path(), std::to_string(load.bytes)};
    }
    bench::Child child(argv, env);
    const bench::Report ready = child.waitFor("ready", 60);

    const double start = bench::now();
    const double pushLimit = load.rate > 0 ? double(load.bytes) / load.rate * 2 + 30 : 300;
    Outcome out;
    out.pushed = push(pty.master(), content, load.rate, start, start + pushLimit);

    bench::Report report;
    try {
        if (out.pushed < load.bytes)
            throw std::runtime_error("the device could not push everything");
        report = child.waitFor("report", 60);
    } catch (const std::exception& e) {
        std::cerr << "bench-receive: " << load.name << ": " << e.what() << "; stopping\n";
        child.send("stop");
        report = child.waitFor("report", 60);
    }
    child.closeInput();
    child.wait(30);

    out.arrived = static_cast<long long>(bench::field(report, "arrived"));
    if (bench::field(report, "complete") != 0)
        out.seconds = bench::field(report, "done_at") - start;
    out.cpu = bench::field(report, "cpu");
    out.peakMiB = bench::field(report, "peak_mib");
    out.idlePeakMiB = bench::field(ready, "peak_mib");
    out.longestGapMs = bench::field(report, "max_gap_ms");
    out.longestTickMs = bench::field(report, "max_tick_ms");
    if (bench::field(report, "errors") != 0)
        std::cerr << "bench-receive: " << load.name << ": the window logged an error\n";
    return out;
}

// The medians of several rounds; the byte counts of the worst one.
struct Summary {
    long long pushed = 0;
    long long arrived = 0;
    bool allArrived = true;
    double seconds, mbPerSecond, cpuPerMB, peakMiB, idlePeakMiB, longestGapMs, longestTickMs;
};

Summary summarise(const std::vector<Outcome>& outcomes, long long bytes) {
    Summary s;
    std::vector<double> seconds, speed, cpu, peak, idle, gap, tick;
    s.pushed = outcomes.front().pushed;
    s.arrived = outcomes.front().arrived;
    for (const Outcome& o : outcomes) {
        if (o.arrived != o.pushed || o.pushed != bytes) {
            s.allArrived = false;
            s.pushed = o.pushed;
            s.arrived = o.arrived;
        }
        seconds.push_back(o.seconds);
        speed.push_back(double(o.pushed) / 1e6 / o.seconds);
        cpu.push_back(o.cpu / (double(o.pushed) / 1e6));
        peak.push_back(o.peakMiB);
        idle.push_back(o.idlePeakMiB);
        gap.push_back(o.longestGapMs);
        tick.push_back(o.longestTickMs);
    }
    s.seconds = bench::median(seconds);
    s.mbPerSecond = bench::median(speed);
    s.cpuPerMB = bench::median(cpu);
    s.peakMiB = bench::median(peak);
    s.idlePeakMiB = bench::median(idle);
    s.longestGapMs = bench::median(gap);
    s.longestTickMs = bench::median(tick);
    return s;
}

void printRows(const Load& load, const Summary& app, const Summary& reader) {
    const std::string name = "receive, " + load.name + ": ";
    const bool flood = load.rate == 0;
    auto counts = [](const Summary& s) {
        return std::to_string(s.arrived) + " of " + std::to_string(s.pushed);
    };
    bench::printRow({name + "bytes in the log of bytes pushed", counts(app), counts(reader),
                     bench::ratioText(double(app.arrived), double(reader.arrived)), "all",
                     bench::yesNo(app.allArrived)});
    bench::printRow({name + "seconds until all in the log", bench::fixed(app.seconds, 2),
                     bench::fixed(reader.seconds, 2), bench::ratioText(app.seconds, reader.seconds),
                     "-", "-"});
    bench::printRow({name + "MB/s", bench::fixed(app.mbPerSecond, 2),
                     bench::fixed(reader.mbPerSecond, 2),
                     bench::ratioText(app.mbPerSecond, reader.mbPerSecond), flood ? "≥ 10" : "-",
                     flood ? bench::yesNo(app.mbPerSecond >= 10) : "-"});
    bench::printRow({name + "CPU seconds per MB", bench::fixed(app.cpuPerMB, 4),
                     bench::fixed(reader.cpuPerMB, 4),
                     bench::ratioText(app.cpuPerMB, reader.cpuPerMB), "≤ 0.08",
                     bench::yesNo(app.cpuPerMB <= 0.08)});
    // Against the window's own peak before the first byte: what the flood adds.
    const double limit =
        load.peakAboveIdleMiB > 0 ? app.idlePeakMiB + load.peakAboveIdleMiB : load.peakMiB;
    const std::string target =
        load.peakAboveIdleMiB > 0
            ? "≤ idle + " + bench::fixed(load.peakAboveIdleMiB, 0) + " = " + bench::fixed(limit, 1)
            : "≤ " + bench::fixed(limit, 0);
    bench::printRow({name + "peak memory (MiB; baseline: the window idle)",
                     bench::fixed(app.peakMiB, 1), bench::fixed(app.idlePeakMiB, 1),
                     bench::ratioText(app.peakMiB, app.idlePeakMiB), target,
                     bench::yesNo(app.peakMiB <= limit)});
    bench::printRow({name + "longest gap between two ticks (ms)", bench::fixed(app.longestGapMs, 0),
                     bench::fixed(reader.longestGapMs, 0),
                     bench::ratioText(app.longestGapMs, reader.longestGapMs), flood ? "-" : "≤ 600",
                     flood ? "-" : bench::yesNo(app.longestGapMs <= 600)});
    // The reader's tick does nothing, so there is no ratio to speak of.
    bench::printRow({name + "longest tick, its own work (ms)", bench::fixed(app.longestTickMs, 0),
                     bench::fixed(reader.longestTickMs, 0), "-", "-", "-"});
}

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv,
        "Receive floods: the main window against a plain reader of the same pseudo-terminal.");
    std::vector<Load> loads;
    if (options.quick) {
        loads = {{"flood of lines", true, 0, 200000, 1, 25},
                 {"large flood of lines", true, 0, 2000000, 1, 0, 150},
                 {"flood without line breaks", false, 0, 200000, 1},
                 {"steady 100 kB/s for 1 s", true, 100000, 100000, 1}};
    } else {
        loads = {{"flood of 20 MB in lines", true, 0, 20000000, 3, 25},
                 {"flood of 200 MB in lines", true, 0, 200000000, 1, 0, 150},
                 {"flood of 20 MB without line breaks", false, 0, 20000000, 3},
                 {"steady 1 MB/s for 30 s", true, 1000000, 30000000, 1}};
    }
    bool allArrived = true;
    for (const Load& load : loads) {
        if (!options.wants(load.name))
            continue;
        const std::string content = makeContent(load);
        std::vector<Outcome> app, reader;
        for (int round = 0; round < load.rounds; ++round) {
            reader.push_back(runOnce(false, load, content));
            app.push_back(runOnce(true, load, content));
        }
        const Summary a = summarise(app, load.bytes);
        const Summary r = summarise(reader, load.bytes);
        printRows(load, a, r);
        allArrived = allArrived && a.allArrived && r.allArrived;
    }
    if (!allArrived)
        std::cerr << "bench-receive: bytes were lost\n";
    return allArrived ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
