// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

class QString;
class QWidget;

// The narrowest a caption is set to fit its room, as a share of its font's
// normal width; below this it would be hard to read.
inline constexpr int NarrowestStretch = 80;

// How much narrower than normal text in font is drawn to fit into room
// pixels: 1 when it fits, otherwise the share of its width that fits, but
// never below NarrowestStretch percent. Access-key ampersands take no room.
qreal narrowingToFit(const QFont& font, const QString& text, int room);

// The font the windows use: a compact sans serif at the size the layout was
// designed for, falling back to whatever sans serif the desktop has.
void applyDesignFont(QWidget* window);
