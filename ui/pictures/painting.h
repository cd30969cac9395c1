// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRectF>
#include <QSize>
#include <QString>

class QPaintDevice;
class QPainter;

// Small helpers shared by the pictures painted in code. The pictures' texts
// must never be clipped, whatever fonts the machine has, so every text is
// fitted to its box on the device it is painted on.

// The sans-serif face of all pictures, sized in logical pixels.
QFont pictureFont(int pixelSize, QFont::Weight weight = QFont::Normal);

// The largest size up to the font's own at which the text fits in one line
// of the given width (never below 6 pixels).
QFont fittedFont(QFont font, const QString& text, qreal width, const QPaintDevice* device);

// The largest size up to the font's own at which the text, word-wrapped to
// the box's width, fits in the box (never below 6 pixels).
QFont fittedWrappedFont(QFont font, const QString& text, const QRectF& box,
                        const QPaintDevice* device);

// Draws one line of text left-aligned in the box: shrunk until it fits the
// box's width and its ink fits the box's height, centred on the box's middle
// and moved, if need be, so that no stroke of it leaves the box.
void drawTextLine(QPainter& painter, const QRectF& box, QFont font, const QString& text);

// A pixmap of the given logical size for a device pixel ratio, filled.
QPixmap newPicture(QSize logicalSize, qreal dpr, const QColor& fill);
