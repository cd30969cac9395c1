// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/appicon.h"

#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

QList<int> programIconSizes() {
    return {16, 32, 48, 64, 128, 256};
}

void paintProgramIcon(QPainter& painter, const QRectF& square) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 256-unit grid, scaled to the square.
    painter.translate(square.topLeft());
    painter.scale(square.width() / 256.0, square.height() / 256.0);

    // The terminal window.
    const QRectF body(12, 20, 232, 216);
    QLinearGradient shade(body.topLeft(), body.bottomLeft());
    shade.setColorAt(0, QColor(0x2b, 0x55, 0x82));
    shade.setColorAt(1, QColor(0x14, 0x25, 0x3b));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(body, 36, 36);

    // Its title bar, a lighter band with the top corners of the window.
    QPainterPath bar;
    bar.addRoundedRect(body, 36, 36);
    QPainterPath band;
    band.addRect(QRectF(body.left(), body.top(), body.width(), 44));
    painter.setBrush(QColor(0x8f, 0xb3, 0xd9));
    painter.drawPath(bar.intersected(band));

    // The prompt chevron and the cursor.
    QPen stroke(QColor(0x7b, 0xd3, 0x89), 30, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(stroke);
    painter.setBrush(Qt::NoBrush);
    QPainterPath chevron;
    chevron.moveTo(58, 104);
    chevron.lineTo(110, 146);
    chevron.lineTo(58, 188);
    painter.drawPath(chevron);
    stroke.setColor(QColor(0xf2, 0xa5, 0x41));
    painter.setPen(stroke);
    painter.drawLine(QPointF(136, 190), QPointF(196, 190));
    painter.restore();
}

QImage programIconImage(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintProgramIcon(painter, QRectF(0, 0, size, size));
    return image;
}

namespace {

// Paints the icon at the size asked for, when it is asked for: most sizes
// are never wanted, and painting them all would slow every start.
class ProgramIconEngine : public QIconEngine {
public:
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("brovik-program-icon"); }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (int n : programIconSizes())
            sizes.append(QSize(n, n));
        return sizes;
    }
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const int side = std::min(size.width(), size.height());
        return QSize(side, side);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const int side = actualSize(size, mode, state).width();
        return side > 0 ? QPixmap::fromImage(programIconImage(side)) : QPixmap();
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        const qreal side = std::min(rect.width(), rect.height());
        paintProgramIcon(*painter, QRectF(rect.x() + (rect.width() - side) / 2,
                                          rect.y() + (rect.height() - side) / 2, side, side));
    }
};

} // namespace

QIcon programIcon() {
    return QIcon(new ProgramIconEngine);
}
