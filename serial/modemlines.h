// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

// The control lines of an open port and its break condition, as resetting a
// board and sending a break use them. Every call throws Failure with the
// device's reason when the device refuses it.
class ModemLines {
public:
    struct States {
        bool dtr = true;
        bool rts = true;
    };

    virtual ~ModemLines() = default;
    // The DTR and RTS states, or nothing when the device has no modem
    // control lines at all (a pseudo-terminal has none).
    virtual std::optional<States> modemLines() = 0;
    virtual void setDtr(bool on) = 0;
    virtual void setRts(bool on) = 0;
    virtual void setBreak(bool on) = 0;
    // Keeps the lines as they are for `ms` milliseconds.
    virtual void hold(int ms) = 0;
};
