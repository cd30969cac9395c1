// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

class QPainter;
class QRectF;

// Brovik's program icon: a terminal window with a prompt, painted in code.

// The sizes the icon comes in, in pixels (square).
QList<int> programIconSizes();

// The icon in each of programIconSizes(), each painted when first asked for.
QIcon programIcon();

// The icon painted at size × size pixels, transparent around the symbol.
QImage programIconImage(int size);

// Paints the symbol into a square (used by the banner as well).
void paintProgramIcon(QPainter& painter, const QRectF& square);
