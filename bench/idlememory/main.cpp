// SPDX-License-Identifier: GPL-3.0-or-later
// bench-idlememory: peak memory after start and 2 s idle, Brovik's main
// window against a minimal Qt window.

#include "benchkit.h"
#include "launch.h"

#include <vector>

namespace {

double idlePeakMiB(bool brovik, double idle) {
    auto window = bench::startWindow(brovik, {"--idle", bench::fixed(idle, 1)});
    const double peak = bench::field(window->child->waitFor("report", 60 + idle), "peak_mib");
    window->child->wait(30);
    return peak;
}

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv, "Idle memory: peak after start and 2 s idle, against a minimal Qt window.");
    const int rounds = options.quick ? 1 : 3;
    const double idle = options.quick ? 0.2 : 2;
    std::vector<double> brovik, minimal;
    for (int i = 0; i < rounds; ++i) {
        minimal.push_back(idlePeakMiB(false, idle));
        brovik.push_back(idlePeakMiB(true, idle));
    }
    const double b = bench::median(brovik);
    const double m = bench::median(minimal);
    bench::printRow({"idle memory: peak after start and " + bench::fixed(idle, 1) +
                         " s idle (MiB, median of " + std::to_string(rounds) + ")",
                     bench::fixed(b, 1), bench::fixed(m, 1), bench::ratioText(b, m), "≤ 1.15×",
                     bench::yesNo(b <= 1.15 * m)});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
