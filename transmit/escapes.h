// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Turns the 0xNNh escapes of a text to send into the characters U+0000..U+00FF
// they stand for (0x0Dh is a carriage return). Escapes are found from left to
// right; each one found replaces every copy of itself, written exactly alike,
// anywhere in the text. Positions past 32767 end the decoding. Never throws:
// when memory runs out the text is returned as decoded so far.
QString decodeEscapes(const QString& text);
