// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class LogSink;
class SerialPort;

// Release Port and Reclaim Port: what they log and what they answer a caller
// on the desktop bus (brovik --release, brovik --reclaim).

// Closes the port for another program (a flasher) and logs "Released COM1
// (/dev/ttyACM0) for another program"; returns that line. Throws Failure when
// Brovik holds no port.
QString releaseForAnotherProgram(SerialPort& port, LogSink& log);

// Starts taking the released port back: the receive tick reopens it with the
// same settings as soon as it is there and free, and logs the reconnection.
// Returns what happens; throws Failure when nothing was released.
QString reclaimReleased(SerialPort& port);

// One line on the port: open, released, awaited or closed.
QString portStatus(SerialPort& port);
