// SPDX-License-Identifier: GPL-3.0-or-later
// bench-startup: time from starting the process to its main window on
// screen, Brovik's against a minimal Qt window's, in alternating rounds.

#include "benchkit.h"
#include "launch.h"

#include <cstdlib>
#include <string>
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
    const int rounds = options.quick ? 1 : 41;
    std::vector<double> brovik, minimal, ratios;
    for (int i = 0; i < rounds; ++i) {
        // Alternate who goes first, so neither always finds the caches warm.
        if (i % 2) {
            brovik.push_back(secondsToShown(true));
            minimal.push_back(secondsToShown(false));
        } else {
            minimal.push_back(secondsToShown(false));
            brovik.push_back(secondsToShown(true));
        }
        ratios.push_back(brovik.back() / minimal.back());
    }
    // The ratio of each round's pair, started one after the other: the
    // machine's pace drifts over the run far more than within a round.
    const double b = bench::median(brovik) * 1000;
    const double m = bench::median(minimal) * 1000;
    const double ratio = bench::median(ratios);
    const std::string platform = std::getenv("QT_QPA_PLATFORM");
    bench::printRow({"start-up, " + platform +
                         ": ms from process start to main window shown (medians of " +
                         std::to_string(rounds) + "; ratio: median of each round's)",
                     bench::fixed(b, 0), bench::fixed(m, 0), bench::fixed(ratio, 2) + "×", "≤ 1.2×",
                     bench::yesNo(ratio <= 1.2)});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
