// SPDX-License-Identifier: GPL-3.0-or-later
// brovik-virtual-device: a serial device on a pseudo-terminal, for trying
// Brovik without hardware.

#include "options.h"
#include "pty.h"
#include "session.h"
#include "stopsignals.h"

#include <csignal>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

namespace {
const std::string programName = "brovik-virtual-device";
}

int main(int argc, char** argv) {
    const ParsedOptions parsed = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.error.empty()) {
        std::cerr << programName << ": " << parsed.error << "\nTry '" << programName
                  << " --help' for more information.\n";
        return 2;
    }
    const Options& options = parsed.options;
    if (options.help) {
        std::cout << helpText(programName);
        return 0;
    }

    // A script that stops reading our output must not kill the device.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        StopSignals stop;
        Pty pty;
        std::cout << pty.slavePath() << std::endl;
        const std::uint64_t sent = runDevice(options, pty, stop);
        if (options.mode == DeviceMode::Stream)
            std::cerr << "sent " << sent << " bytes" << std::endl;
        return 0;
    } catch (const std::exception& e) {
        std::cerr << programName << ": " << e.what() << '\n';
        return 1;
    }
}
