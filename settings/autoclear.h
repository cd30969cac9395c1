// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QVariant>

// The program-wide auto-clear flag holds the stored text after start-up, an
// integer once the Options dialog has set it, and nothing before loading.

// Whether the flag counts as on: a number other than 0. A text that is not a
// number counts as off.
bool autoClearIsOn(const QVariant& flag);
// The flag as it is saved: a stored text exactly as read, an integer as its digits.
QString autoClearText(const QVariant& flag);
