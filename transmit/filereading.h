// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Reads a whole regular file as bytes. Throws Failure, naming the path and
// the system's reason, for anything that is not a regular file (a folder, a
// FIFO, a device, a socket: reading those could block or never end), for a
// file that cannot be read, and for one too large for the memory available.
QByteArray readWholeFile(const QString& path);
