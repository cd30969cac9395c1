// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include <charconv>
#include <cmath>

namespace {

bool parseRate(const std::string& text, std::uint64_t& rate) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, rate);
    return ec == std::errc() && ptr == end && rate >= 1 && rate <= maxStreamRate;
}

bool parseSeconds(const std::string& text, double& seconds) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    return ec == std::errc() && ptr == end && std::isfinite(seconds) && seconds > 0 &&
           seconds <= maxSeconds;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    Options& o = result.options;
    auto fail = [&result](std::string message) {
        result.error = std::move(message);
        return result;
    };

    for (const std::string& a : args) {
        if (a == "--help" || a == "-h") {
            o.help = true;
            return result;
        }
    }

    bool modeChosen = false;
    auto chooseMode = [&](DeviceMode mode) {
        if (modeChosen && o.mode != mode)
            return false;
        o.mode = mode;
        modeChosen = true;
        return true;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name.resize(eq);
        }
        const bool takesValue = name == "--stream" || name == "--seconds";
        if (value && !takesValue)
            return fail("option " + name + " takes no value");
        if (takesValue && !value) {
            if (i + 1 >= args.size())
                return fail("option " + name + " needs a value");
            value = args[++i];
        }

        if (name == "--modem" || name == "--echo") {
            if (!chooseMode(name == "--modem" ? DeviceMode::Modem : DeviceMode::Echo))
                return fail("choose only one of --modem, --echo and --stream");
        } else if (name == "--stream") {
            if (!chooseMode(DeviceMode::Stream))
                return fail("choose only one of --modem, --echo and --stream");
            if (!parseRate(*value, o.rate))
                return fail("bad rate '" + *value +
                            "' for --stream: give bytes per second, a whole number from 1 to " +
                            std::to_string(maxStreamRate));
        } else if (name == "--no-newlines") {
            o.newlines = false;
        } else if (name == "--seconds") {
            double s = 0;
            if (!parseSeconds(*value, s))
                return fail("bad time '" + *value +
                            "' for --seconds: give a number of seconds greater than 0");
            o.seconds = s;
        } else if (name.rfind("-", 0) == 0) {
            return fail("unknown option " + name);
        } else {
            return fail("unexpected argument '" + name + "'");
        }
    }

    if (!o.newlines && o.mode != DeviceMode::Stream)
        return fail("--no-newlines only applies to --stream");
    return result;
}

std::string helpText(const std::string& program) {
    return "Usage: " + program +
           " [--modem | --echo | --stream RATE [--no-newlines]] [--seconds N]\n"
           "\n"
           "Plays a serial device on a pseudo-terminal so Brovik can be tried without\n"
           "hardware. The first line printed is the device path (for example /dev/pts/7);\n"
           "open it in Brovik as the serial port. Ctrl+C ends the device.\n"
           "\n"
           "Modes:\n"
           "  --modem          (default) answers AT commands: lines end with CR (an LF\n"
           "                   after it is ignored) or LF alone. AT and ATZ answer OK,\n"
           "                   ATI answers an identity line and OK, any other line\n"
           "                   answers ERROR; empty lines get no answer.\n"
           "  --echo           sends back every byte it receives, unchanged.\n"
           "  --stream RATE    sends numbered 50-byte lines (CR LF included) at RATE bytes\n"
           "                   per second and reports the bytes sent when it ends.\n"
           "  --no-newlines    with --stream: the same text without CR LF.\n"
           "\n"
           "Other options:\n"
           "  --seconds N      stop by itself after N seconds.\n"
           "  -h, --help       show this text.\n"
           "\n"
           "A pseudo-terminal has no baud rate: whatever speed Brovik is set to, data goes\n"
           "as fast as the reader takes it (in stream mode, at RATE). Data sent while\n"
           "Brovik is not connected waits in the pseudo-terminal until it is read; when\n"
           "that buffer is full the stream pauses.\n";
}
