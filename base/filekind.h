// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/types.h>

// What a path that is not a regular file is, for a message:
// "it is a folder", "it is a FIFO (named pipe)", "it is a device", ...
QString fileKind(mode_t mode);
