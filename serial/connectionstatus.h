// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class SerialPort;

// The status line's text, from the live port: "Connected to COMn:settings"
// while it is open, the disconnected text otherwise.
QString connectionStatus(const SerialPort& port);

// The status line's tooltip: which device the COM number is. While open, the
// device path and what the system knows of it; while closed, the device the
// configured COM number maps to, or that it maps to none.
QString connectionDetails(const SerialPort& port);
