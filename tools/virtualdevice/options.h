// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

enum class DeviceMode { Modem, Echo, Stream };

struct Options {
    DeviceMode mode = DeviceMode::Modem;
    std::uint64_t rate = 0;        // bytes per second, stream mode only
    bool newlines = true;          // stream mode: end each line with CR LF
    std::optional<double> seconds; // stop by itself after this long
    bool help = false;
};

// The outcome of reading the command line: options, or the reason they are wrong.
struct ParsedOptions {
    Options options;
    std::string error; // empty when the arguments are good
};

// `args` are the arguments without the program name.
ParsedOptions parseOptions(const std::vector<std::string>& args);

std::string helpText(const std::string& program);

inline constexpr std::uint64_t maxStreamRate = 1000000000;
inline constexpr double maxSeconds = 1e9;
