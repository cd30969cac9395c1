// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "options.h"

#include <cstdint>

class Pty;
class StopSignals;

// Plays the device chosen in `options` on the pseudo-terminal until a stop
// signal or the --seconds deadline. Returns the bytes written to the device.
// Throws std::system_error when the pseudo-terminal fails.
std::uint64_t runDevice(const Options& options, Pty& pty, StopSignals& stop);
