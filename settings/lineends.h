// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// The states of the two line-end check boxes as the program stores them:
// 0 clear, 1 ticked, 2 greyed. Only a ticked box adds its line end.
struct LineEndStates {
    qint16 sendCR = 0;
    qint16 sendLF = 0;
};
