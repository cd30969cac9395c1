// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/painting.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {
constexpr int MinimumPixelSize = 6;
}

QFont pictureFont(int pixelSize, QFont::Weight weight) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont fittedFont(QFont font, const QString& text, qreal width, const QPaintDevice* device) {
    while (font.pixelSize() > MinimumPixelSize &&
           QFontMetricsF(font, device).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QFont fittedWrappedFont(QFont font, const QString& text, const QRectF& box,
                        const QPaintDevice* device) {
    const auto fits = [&] {
        const QRectF used =
            QFontMetricsF(font, device)
                .boundingRect(QRectF(0, 0, box.width(), 1e6), Qt::TextWordWrap, text);
        return used.width() <= box.width() && used.height() <= box.height();
    };
    while (font.pixelSize() > MinimumPixelSize && !fits())
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

void drawTextLine(QPainter& painter, const QRectF& outer, QFont font, const QString& text) {
    // Half a pixel to spare on each side: glyphs rendered at a high pixel
    // ratio and their anti-aliased edges may reach a little past the measure.
    const QRectF box = outer.adjusted(0.5, 0.5, -0.5, -0.5);
    font = fittedFont(font, text, box.width(), painter.device());
    QRectF ink = QFontMetricsF(font, painter.device()).tightBoundingRect(text);
    while (font.pixelSize() > MinimumPixelSize && ink.height() > box.height()) {
        font.setPixelSize(font.pixelSize() - 1);
        ink = QFontMetricsF(font, painter.device()).tightBoundingRect(text);
    }
    // The baseline from the font's own ascent and descent, so that lines of
    // one font line up whatever letters they hold.
    const QFontMetricsF metrics(font, painter.device());
    qreal baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    if (baseline + ink.bottom() > box.bottom())
        baseline = box.bottom() - ink.bottom();
    if (baseline + ink.top() < box.top())
        baseline = box.top() - ink.top();
    painter.setFont(font);
    painter.drawText(QPointF(box.left(), baseline), text);
}

QPixmap newPicture(QSize logicalSize, qreal dpr, const QColor& fill) {
    if (!(dpr > 0))
        dpr = 1.0;
    QPixmap pixmap((QSizeF(logicalSize) * dpr).toSize());
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(fill);
    return pixmap;
}
