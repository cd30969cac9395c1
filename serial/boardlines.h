// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/modemlines.h"

#include <QString>

// How Reset Board resets the board on the other end of the port.
enum class ResetMethod {
    Dtr,  // a DTR pulse: Arduino Uno, Nano and most boards with a USB serial chip
    Rts,  // an RTS pulse
    Esp,  // the ESP32/ESP8266 auto-reset circuit: EN low while IO0 stays high
    None, // resetting switched off
};

struct ResetPlan {
    ResetMethod method = ResetMethod::Dtr;
    int pulseMs = 100;
};

// The DTR and RTS states wanted right after opening. The system raises both
// when it opens a port, so the defaults change nothing.
struct LinesOnOpen {
    bool dtr = true;
    bool rts = true;
};

// The port a routine works on, as its lines name it.
struct PortNames {
    QString com;   // "COM1"
    QString where; // "COM1 (/dev/ttyACM0)"
    int handshaking = 0;
};

// Pulses the lines the plan names and puts them back as they were. Returns
// the Info line to log; throws Failure saying why the board was not reset
// (resetting off, RTS owned by RTS/CTS flow control, no modem lines).
QString resetBoard(ModemLines& lines, const ResetPlan& plan, const PortNames& port);

// Holds a break condition for BreakMs. Returns the Info line; throws when the
// device has no modem lines, since it then ignores a break without a word.
inline constexpr int BreakMs = 250;
QString sendBreak(ModemLines& lines, const PortNames& port);

// Sets the lines to the states wanted after the system raised them at
// opening. RTS under RTS/CTS flow control is the flow control's; a device
// without modem lines has nothing to set.
void applyLinesOnOpen(ModemLines& lines, const LinesOnOpen& wanted, int handshaking);
