// SPDX-License-Identifier: GPL-3.0-or-later
// bench-startup: time from starting the process to its main window on
// screen, Brovik's against a minimal Qt window's, in alternating rounds.

#include "benchkit.h"
#include "launch.h"

#include <vector>

namespace {

double secondsToShown(bool brovik) {
    auto window = bench::startWindow(brovik);
    const double shown = bench::field(window->child->waitFor("shown", 60), "at");
    window->child->wait(30);
    return shown - window->startedAt;
}

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv, "Start-up: process start to main window shown, against a minimal Qt window.");
    const int rounds = options.quick ? 1 : 21;
    std::vector<double> brovik, minimal;
    for (int i = 0; i < rounds; ++i) {
        // Alternate who goes first, so neither always finds the caches warm.
        if (i % 2) {
            brovik.push_back(secondsToShown(true));
            minimal.push_back(secondsToShown(false));
        } else {
            minimal.push_back(secondsToShown(false));
            brovik.push_back(secondsToShown(true));
        }
    }
    const double b = bench::median(brovik) * 1000;
    const double m = bench::median(minimal) * 1000;
    bench::printRow({"start-up: ms from process start to main window shown (median of " +
                         std::to_string(rounds) + ")",
                     bench::fixed(b, 0), bench::fixed(m, 0), bench::ratioText(b, m), "≤ 1.2×",
                     bench::yesNo(b <= 1.2 * m)});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
