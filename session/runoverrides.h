// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/commandline.h"

class LogSink;
class MainSettings;
class SerialPort;

// Puts what the command line set into the closed port, over the stored
// settings, and makes saving leave those keys as stored: they hold for this
// run only. A device path takes its own COM number, or the lowest free one,
// for this run. A failure is one "loadSettings: " line.
void applyPortOverrides(const PortOverrides& overrides, SerialPort& port, MainSettings& settings,
                        LogSink& log);
