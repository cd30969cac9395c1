// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The file a path leads to for writing: the path itself, or where its link
// leads. Nothing there yet is fine (the path is returned). Anything else (a
// FIFO, a device, a socket, a folder, a link that leads nowhere) throws
// Failure whose description says what it is, such as "it is a folder", so
// that writing never blocks on it nor replaces what is not a file.
QString regularFileFor(const QString& path);

// Opens a regular file for appending, creating it readable and writable by
// its owner only. Opened without blocking and checked again once open, so a
// path swapped for a FIFO or a device in between is refused too. Returns the
// descriptor; throws Failure with the reason.
int openForAppending(const QString& path);
