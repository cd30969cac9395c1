// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A text to send written the way the user writes it: every byte that is not a
// printable ASCII character (control bytes and bytes 0x7F and above) becomes
// its 0xNNh escape, so the result can be read aloud or shown in one line.
// Characters above U+00FF are shown as the UTF-8 bytes they go out as.
QString showEscapes(const QString& text);
