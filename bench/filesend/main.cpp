// SPDX-License-Identifier: GPL-3.0-or-later
// bench-filesend: sends a file of random bytes through a pseudo-terminal with
// the real main window and with `cat`, to the same reader that checks every
// byte, round after round.

#include "benchkit.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <poll.h>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string randomBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::mt19937_64 random(20240601);
    for (std::size_t i = 0; i < size; i += 8) {
        const std::uint64_t r = random();
        std::memcpy(bytes.data() + i, &r, std::min<std::size_t>(8, size - i));
    }
    return bytes;
}

struct Received {
    std::size_t exact = 0; // bytes that matched before the first difference
    bool complete = false; // every byte matched and nothing more came
    double at = 0;         // when the last byte arrived
};

// Reads the device side until the whole file has come, checking each byte.
Received receive(int master, const std::string& expected, double timeoutSeconds) {
    Received r;
    std::vector<char> buffer(65536);
    const double deadline = bench::now() + timeoutSeconds;
    std::size_t got = 0;
    bool differs = false;
    while (got < expected.size() && !differs && bench::now() < deadline) {
        pollfd p{master, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0)
            continue;
        for (;;) {
            const ssize_t n = ::read(master, buffer.data(), buffer.size());
            if (n <= 0)
                break;
            const std::size_t count = static_cast<std::size_t>(n);
            const std::size_t comparable = std::min(count, expected.size() - got);
            const auto mismatch =
                std::mismatch(buffer.begin(), buffer.begin() + comparable, expected.begin() + got);
            const std::size_t same = mismatch.first - buffer.begin();
            got += same;
            if (same != count) {
                differs = true;
                break;
            }
        }
    }
    r.at = bench::now();
    r.exact = got;
    if (got == expected.size() && !differs) {
        // Nothing may follow the file.
        pollfd p{master, POLLIN, 0};
        char extra;
        r.complete = !(::poll(&p, 1, 200) > 0 && ::read(master, &extra, 1) > 0);
    }
    return r;
}

struct Round {
    Received received;
    double seconds = 0;
    double idleMiB = 0;
    double peakMiB = 0;
};

Round sendWithCat(const std::string& path, const std::string& content, double timeout) {
    bench::Pty pty;
    Round round;
    const double start = bench::now();
    bench::Child cat({"cat", path}, {}, pty.path());
    round.received = receive(pty.master(), content, timeout);
    round.seconds = round.received.at - start;
    if (cat.wait(10) != 0)
        throw std::runtime_error("cat failed");
    return round;
}

Round sendWithApp(const std::string& path, const std::string& content, double timeout) {
    bench::Pty pty;
    bench::TempDir home;
    bench::Child app({bench::helperPath("bench-filesend-app")},
                     {bench::configHomeFor(home, pty.path())});
    Round round;
    round.idleMiB = bench::field(app.waitFor("ready", 60), "rss_mib");
    const double start = bench::now();
    app.send("send " + path);
    round.received = receive(pty.master(), content, timeout);
    round.seconds = round.received.at - start;
    const bench::Report sent = app.waitFor("sent", 30);
    round.peakMiB = bench::field(sent, "peak_mib");
    if (bench::field(sent, "errors") != 0)
        std::cerr << "bench-filesend: the window logged an error\n";
    app.send("stop");
    app.closeInput();
    app.wait(30);
    return round;
}

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv, "File send: the main window against `cat`, into the same checking reader.");
    const std::size_t size = options.quick ? 256 * 1024 : 16 * 1024 * 1024;
    const int rounds = options.quick ? 1 : 15;
    const double timeout = options.quick ? 30 : 120;

    bench::TempDir dir;
    const std::string path = dir.path() + "/random.bin";
    const std::string content = randomBytes(size);
    std::ofstream(path, std::ios::binary).write(content.data(), std::streamsize(content.size()));

    std::vector<Round> cat, app;
    for (int i = 0; i < rounds; ++i) {
        // Alternate who goes first, so neither always finds the caches warm.
        if (i % 2) {
            app.push_back(sendWithApp(path, content, timeout));
            cat.push_back(sendWithCat(path, content, timeout));
        } else {
            cat.push_back(sendWithCat(path, content, timeout));
            app.push_back(sendWithApp(path, content, timeout));
        }
    }

    auto exact = [&](const std::vector<Round>& rs) {
        for (const Round& r : rs)
            if (!r.received.complete)
                return false;
        return true;
    };
    auto worstCount = [&](const std::vector<Round>& rs) {
        std::size_t least = size;
        for (const Round& r : rs)
            least = std::min(least, r.received.complete ? size : r.received.exact);
        return std::to_string(least) + " of " + std::to_string(size) +
               (exact(rs) ? ", exact" : ", differs");
    };
    auto medianOf = [](const std::vector<Round>& rs, double Round::*field) {
        std::vector<double> values;
        for (const Round& r : rs)
            values.push_back(r.*field);
        return bench::median(values);
    };
    const double sizeMiB = double(size) / bench::MiB;
    const std::string name = "file send, " + bench::fixed(sizeMiB, 2) + " MiB of random bytes: ";
    bench::printRow({name + "bytes checked at the reader", worstCount(app), worstCount(cat), "-",
                     "byte-exact", bench::yesNo(exact(app))});
    const double appSeconds = medianOf(app, &Round::seconds);
    const double catSeconds = medianOf(cat, &Round::seconds);
    bench::printRow({name + "seconds (baseline: cat)", bench::fixed(appSeconds, 3),
                     bench::fixed(catSeconds, 3), bench::ratioText(appSeconds, catSeconds),
                     "≤ 1.1× cat", bench::yesNo(appSeconds <= 1.1 * catSeconds)});
    std::vector<double> growth;
    for (const Round& r : app)
        growth.push_back(r.peakMiB - r.idleMiB);
    const double growthMiB = bench::median(growth);
    bench::printRow({name + "peak memory above idle (MiB; baseline: file size)",
                     bench::fixed(growthMiB, 1), bench::fixed(sizeMiB, 1),
                     bench::ratioText(growthMiB, sizeMiB), "≤ 1.2× file",
                     bench::yesNo(growthMiB <= 1.2 * sizeMiB)});
    const double idleMiB = medianOf(app, &Round::idleMiB);
    const double peakMiB = medianOf(app, &Round::peakMiB);
    bench::printRow({name + "peak memory (MiB; baseline: idle size)", bench::fixed(peakMiB, 1),
                     bench::fixed(idleMiB, 1), bench::ratioText(peakMiB, idleMiB),
                     "≤ " + bench::fixed(1.2 * sizeMiB + idleMiB, 1),
                     bench::yesNo(peakMiB <= 1.2 * sizeMiB + idleMiB)});
    const bool ok = exact(app) && exact(cat);
    if (!ok)
        std::cerr << "bench-filesend: the reader did not get the file byte for byte\n";
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
