// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Who holds the serial device open on fd (or, with fd -1, the device at path),
// as far as the system tells this user: a process that holds a lock on the
// device now, the PID in a serial lock file for it, or the one process that
// has it open. "picocom, PID 1234", or empty when nobody can be named for sure.
QString deviceHolder(int fd, const QString& path);
