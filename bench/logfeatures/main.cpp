// SPDX-License-Identifier: GPL-3.0-or-later
// bench-logfeatures: what the log's features cost. The 20 MB flood of lines
// reaches the real main window with a capture on, with the log window open
// and shown as hex, next to the same flood with none of them, round after
// round; and find over a full log window, next to a plain count of the
// same matches in the same text.

#include "benchkit.h"
#include "streamtext.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iostream>
#include <iterator>
#include <poll.h>
#include <regex>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

struct Outcome {
    long long pushed = 0;
    long long arrived = 0;
    double cpuPerMB = 0;
    double peakMiB = 0;
    bool captured = true; // the capture file holds every byte pushed, in order
};

// Pushes all of content into the device side as fast as it takes it.
long long push(int master, const std::string& content, double deadline) {
    std::size_t sent = 0;
    char discard[4096];
    while (sent < content.size() && bench::now() < deadline) {
        pollfd p{master, POLLOUT | POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        if (p.revents & POLLIN)
            while (::read(master, discard, sizeof discard) > 0) {
            }
        if (!(p.revents & POLLOUT))
            continue;
        const ssize_t n = ::write(master, content.data() + sent,
                                  std::min<std::size_t>(content.size() - sent, 65536));
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            throw std::runtime_error("cannot write to the pseudo-terminal");
    }
    return static_cast<long long>(sent);
}

std::string withoutLineBreaks(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
        text.end());
    return text;
}

// The received data in a capture: each entry's time and prefix taken off,
// and the line breaks, which entries cut where the ticks fell.
std::string capturedData(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::regex lead("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d << ");
    std::string data, line;
    while (std::getline(in, line)) {
        if (std::regex_search(line, lead, std::regex_constants::match_continuous))
            line.erase(0, 16);
        data += line;
    }
    return withoutLineBreaks(data);
}

Outcome runOnce(const std::string& mode, const std::string& content) {
    bench::Pty pty;
    bench::TempDir home;
    const std::string capture = home.path() + "/capture.log";
    std::vector<std::string> argv = {bench::helperPath("bench-logfeatures-app"), "flood", mode,
                                     std::to_string(content.size())};
    if (mode == "capture")
        argv.push_back(capture);
    bench::Child child(argv, {bench::configHomeFor(home, pty.path())});
    child.waitFor("ready", 60);
    Outcome out;
    out.pushed = push(pty.master(), content, bench::now() + 300);
    bench::Report report;
    try {
        if (out.pushed < static_cast<long long>(content.size()))
            throw std::runtime_error("the device could not push everything");
        report = child.waitFor("report", 120);
    } catch (const std::exception& e) {
        std::cerr << "bench-logfeatures: " << mode << ": " << e.what() << "; stopping\n";
        child.send("stop");
        report = child.waitFor("report", 60);
    }
    child.closeInput();
    child.wait(30);
    out.arrived = static_cast<long long>(bench::field(report, "arrived"));
    out.cpuPerMB = bench::field(report, "cpu") / (double(out.pushed) / 1e6);
    out.peakMiB = bench::field(report, "peak_mib");
    if (bench::field(report, "errors") != 0)
        std::cerr << "bench-logfeatures: " << mode << ": the window logged an error\n";
    if (mode == "capture")
        out.captured = capturedData(capture) == withoutLineBreaks(content);
    return out;
}

struct Summary {
    bool allArrived = true;
    bool allCaptured = true;
    double cpuPerMB = 0;
    double peakMiB = 0;
};

Summary summarise(const std::vector<Outcome>& outcomes, long long bytes) {
    Summary s;
    std::vector<double> cpu, peak;
    for (const Outcome& o : outcomes) {
        s.allArrived = s.allArrived && o.pushed == bytes && o.arrived == bytes;
        s.allCaptured = s.allCaptured && o.captured;
        cpu.push_back(o.cpuPerMB);
        peak.push_back(o.peakMiB);
    }
    s.cpuPerMB = bench::median(cpu);
    s.peakMiB = bench::median(peak);
    return s;
}

bool floods(const bench::Options& options) {
    const long long bytes = options.quick ? 200000 : 20000000;
    const int rounds = options.quick ? 1 : 5;
    std::string content;
    StreamText(true).take(static_cast<std::size_t>(bytes), content);
    const std::string name =
        options.quick ? "log, flood of 200 kB in lines" : "log, flood of 20 MB in lines";

    struct Feature {
        std::string mode, what;
        double limit;
    };
    const std::vector<Feature> features = {{"capture", "capture on", 1.3},
                                           {"window", "log window open", 1.5},
                                           {"hex", "shown as hex", 2.0}};
    std::vector<bool> wanted;
    for (const Feature& feature : features)
        wanted.push_back(options.wants(name + ", " + feature.what));
    if (std::find(wanted.begin(), wanted.end(), true) == wanted.end())
        return true;
    std::vector<Outcome> plain;
    std::vector<std::vector<Outcome>> with(features.size());
    for (int round = 0; round < rounds; ++round) {
        plain.push_back(runOnce("plain", content));
        for (std::size_t f = 0; f < features.size(); ++f)
            if (wanted[f])
                with[f].push_back(runOnce(features[f].mode, content));
    }
    const Summary base = summarise(plain, bytes);
    bool good = base.allArrived;
    for (std::size_t f = 0; f < features.size(); ++f) {
        if (with[f].empty())
            continue;
        const Feature& feature = features[f];
        const Summary s = summarise(with[f], bytes);
        const std::string row = name + ", " + feature.what + ": ";
        bench::printRow({row + "every byte in the log", bench::yesNo(s.allArrived),
                         bench::yesNo(base.allArrived), "-", "all", bench::yesNo(s.allArrived)});
        if (feature.mode == "capture")
            bench::printRow({row + "every byte in the capture file, in order",
                             bench::yesNo(s.allCaptured), "-", "-", "all",
                             bench::yesNo(s.allCaptured)});
        // Each round's own ratio: the machine's pace drifts between rounds
        // far more than within one.
        std::vector<double> ratios;
        for (std::size_t r = 0; r < with[f].size(); ++r)
            ratios.push_back(with[f][r].cpuPerMB / plain[r].cpuPerMB);
        const double ratio = bench::median(ratios);
        bench::printRow({row + "CPU seconds per MB (baseline: without; ratio: median of each "
                               "round's)",
                         bench::fixed(s.cpuPerMB, 4), bench::fixed(base.cpuPerMB, 4),
                         bench::fixed(ratio, 2) + "×", "≤ " + bench::fixed(feature.limit, 1) + "×",
                         bench::yesNo(ratio <= feature.limit)});
        bench::printRow({row + "peak memory (MiB; baseline: without)", bench::fixed(s.peakMiB, 1),
                         bench::fixed(base.peakMiB, 1), bench::ratioText(s.peakMiB, base.peakMiB),
                         "-", "-"});
        good = good && s.allArrived && s.allCaptured;
    }
    return good;
}

bool finds(const bench::Options& options) {
    const int lines = options.quick ? 2000 : 20000;
    bench::Child child({bench::helperPath("bench-logfeatures-app"), "find", std::to_string(lines)});
    const bench::Report r = child.waitFor("report", 120);
    child.closeInput();
    child.wait(30);
    const std::string name =
        "log, find over " + std::to_string(int(bench::field(r, "lines"))) + " lines, ";
    bool good = true;
    for (const char* term : {"rare", "every_line", "absent"}) {
        const std::string t(term);
        const double ms = bench::field(r, t + "_ms");
        const double plain = bench::field(r, t + "_plain_ms");
        const int matches = int(bench::field(r, t + "_matches"));
        const bool counted = matches == int(bench::field(r, t + "_counted"));
        std::string what = t == "rare"         ? "a rare term"
                           : t == "every_line" ? "a term in every line"
                                               : "a term not there";
        bench::printRow(
            {name + what + " (" + std::to_string(matches) +
                 " matches, those in view highlighted): ms (baseline: counting them in the text)",
             bench::fixed(ms, 1), bench::fixed(plain, 1), bench::ratioText(ms, plain), "< 50",
             bench::yesNo(ms < 50)});
        good = good && counted;
    }
    return good;
}

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv, "The log's features: capture, log window, hex, find, next to the plain log.");
    bool good = true;
    good = floods(options) && good;
    if (options.wants("log, find"))
        good = finds(options) && good;
    if (!good)
        std::cerr << "bench-logfeatures: something was lost or miscounted\n";
    return good ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
