// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Settings are text; these turn them into what the controls and the port
// take, throwing Failure with a description naming `what` when they can't.
qint64 toInteger(const QString& what, const QString& text, qint64 min, qint64 max);
qint16 toInt16(const QString& what, const QString& text);

// Check box states as the program stores them: 0 clear, 1 ticked, 2 greyed.
// Throws for any other value.
qint16 toCheckState(const QString& what, qint64 code);
