// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/boardlines.h"

class LogSink;
class SerialPort;

// The [COM] keys for the board on the port, written by the user, never by
// Brovik: Reset (dtr, rts, esp or none; default dtr), ResetMs (1 to 1000,
// default 100), and DTR and RTS (1 raised, the default, or 0 lowered once the
// port is open).

inline constexpr int MaxResetMs = 1000;

// Throws Failure naming the key and the value it cannot take.
ResetPlan storedResetPlan();
LinesOnOpen storedLinesOnOpen();

// Hands the stored DTR and RTS states to the port, for every opening; a bad
// value is one "loadSettings: " line and leaves both raised.
void loadLinesOnOpen(SerialPort& port, LogSink& log);
