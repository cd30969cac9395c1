// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Removes ANSI escape sequences (colours, cursor moves, titles) from received
// text, one character per byte: CSI sequences (ESC [ ... final), strings such
// as OSC (ESC ] ... BEL or ESC \) and two-character escapes (ESC 7, ESC ( B).
// Anything that is not a complete, well-formed sequence stays as it is.
//
// A sequence cut off at the end goes to *heldBack, to be put in front of the
// next piece, when heldBack is given; without it, it stays in the text.
QString stripTerminalCodes(QStringView text, QString* heldBack = nullptr);
