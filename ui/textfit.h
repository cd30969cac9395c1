// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QString;
class QWidget;

// The narrowest a caption is set to fit its room, as a share of its font's
// normal width; below this it would be hard to read.
inline constexpr int NarrowestStretch = 80;

// The font in which text fits into room pixels: the font itself when it fits,
// otherwise the same font at the same size with narrower letters, down to
// NarrowestStretch. Access-key ampersands take no room.
QFont fittedFont(const QFont& font, const QString& text, int room);

// The font the windows use: a compact sans serif at the size the layout was
// designed for, falling back to whatever sans serif the desktop has.
void applyDesignFont(QWidget* window);
