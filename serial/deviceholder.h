#pragma once

#include <QString>

// Who holds the serial device open on fd (reached as path), where the system
// tells: the owner of a flock on it, the PID in a serial lock file for it, or
// another process with it open. "picocom, PID 1234", or empty when unknown.
QString deviceHolder(int fd, const QString& path);
