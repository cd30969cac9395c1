#pragma once

#include <QString>

class SerialPort;

// The status line's text, from the live port: "Connected to COMn:settings"
// while it is open, the disconnected text otherwise.
QString connectionStatus(SerialPort& port);
