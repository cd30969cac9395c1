// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

class QCheckBox;

// A check box's state as the program stores it: 0 clear, 1 ticked, 2 greyed.
// Greyed shows only while a box holds a stored 2.
void setStateCode(QCheckBox* box, qint16 code);
qint16 stateCode(const QCheckBox* box);
