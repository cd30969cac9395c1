// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/banner.h"

#include "settings/settingskeys.h"
#include "ui/pictures/appicon.h"
#include "ui/pictures/painting.h"
#include "ui/weblinks.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QResource>

namespace {

const QColor Ink(0x14, 0x25, 0x3b);
const QColor Accent(0xf2, 0xa5, 0x41);

void paintNameAndTagline(QPainter& painter) {
    const QRectF icon(9, 8, 35, 35);
    paintProgramIcon(painter, icon);

    const qreal left = icon.right() + 9;
    const qreal width = BannerLogoLeft - 10 - left;
    painter.setPen(Qt::white);
    drawTextLine(painter, QRectF(left, 6, width, 24), pictureFont(25, QFont::Bold),
                 SettingsKeys::AppName);

    const QString tagline = QStringLiteral("serial terminal for microcontrollers");
    painter.setPen(QColor(0xc9, 0xd8, 0xe8));
    drawTextLine(painter, QRectF(left, 32, width, 13), pictureFont(11), tagline);
}

// The maker's mark: an amber hexagon carrying a bold Z.
void paintMakerMark(QPainter& painter, const QRectF& square) {
    const QPointF c = square.center();
    const qreal r = square.width() / 2;
    QPainterPath hexagon;
    hexagon.moveTo(c.x(), c.y() - r);
    hexagon.lineTo(c.x() + r * 0.866, c.y() - r / 2);
    hexagon.lineTo(c.x() + r * 0.866, c.y() + r / 2);
    hexagon.lineTo(c.x(), c.y() + r);
    hexagon.lineTo(c.x() - r * 0.866, c.y() + r / 2);
    hexagon.lineTo(c.x() - r * 0.866, c.y() - r / 2);
    hexagon.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Accent);
    painter.drawPath(hexagon);

    const qreal s = r * 0.42;
    QPainterPath z;
    z.moveTo(c.x() - s, c.y() - s);
    z.lineTo(c.x() + s, c.y() - s);
    z.lineTo(c.x() - s, c.y() + s);
    z.lineTo(c.x() + s, c.y() + s);
    painter.setPen(QPen(Ink, r * 0.22, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(z);
}

void paintMakerLogo(QPainter& painter) {
    // A light panel sets the maker's corner apart from the program's name.
    const QRectF panel(BannerLogoLeft, 0, BannerSize.width() - BannerLogoLeft, BannerSize.height());
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xf6, 0xf1, 0xe6));
    painter.drawRect(panel);
    painter.setBrush(Accent);
    painter.drawRect(QRectF(panel.left(), 0, 3, panel.height()));

    const QRectF mark(BannerLogoLeft + 14, 8, 35, 35);
    paintMakerMark(painter, mark);

    // The name stays clear of the banner's last two columns, which the main
    // window cuts off.
    const qreal left = mark.right() + 9;
    const qreal width = BannerLogoLeft + BannerLogoWidth - 6 - left;
    const QStringList words = makerName().split(QLatin1Char(' '));
    const QString first = words.value(0);
    const QString rest = words.mid(1).join(QLatin1Char(' ')).toUpper();

    painter.setPen(Ink);
    drawTextLine(painter, QRectF(left, 7, width, 22), pictureFont(20, QFont::Bold), first);

    QFont small = pictureFont(10, QFont::DemiBold);
    small.setLetterSpacing(QFont::AbsoluteSpacing, 3);
    painter.setPen(QColor(0x5a, 0x6b, 0x7d));
    drawTextLine(painter, QRectF(left + 1, 32, width - 1, 11), small, rest);
}

} // namespace

void paintBanner(QPainter& painter) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, BannerLogoLeft, 0);
    sky.setColorAt(0, Ink);
    sky.setColorAt(1, QColor(0x2b, 0x55, 0x82));
    painter.fillRect(QRectF(QPointF(0, 0), BannerSize), sky);

    paintNameAndTagline(painter);
    paintMakerLogo(painter);
    painter.restore();
}

QString prepaintedBannerName(qreal dpr) {
    if (dpr == 1.0)
        return QStringLiteral("banner-1x.rgb32");
    if (dpr == 2.0)
        return QStringLiteral("banner-2x.rgb32");
    return {};
}

QImage prepaintedBanner(qreal dpr) {
    const QString name = prepaintedBannerName(dpr);
    if (name.isEmpty())
        return {};
    const QResource resource(QLatin1String(PrepaintedFolder) + name);
    const QSize size = (QSizeF(BannerSize) * dpr).toSize();
    const qsizetype line = qsizetype(size.width()) * 4;
    // Kept uncompressed, so that the image reads the pixels where they lie
    // in the program file, which stays mapped while the program runs.
    if (!resource.isValid() ||
        resource.compressionAlgorithm() != QResource::Compression::NoCompression ||
        resource.size() != line * size.height())
        return {};
    QImage image(resource.data(), size.width(), size.height(), line, PrepaintedFormat);
    image.setDevicePixelRatio(dpr);
    return image;
}

QPixmap bannerPixmap(qreal dpr) {
    // The first frame need not wait for the banner's fonts to be found and
    // its letters rendered.
    if (QImage prepainted = prepaintedBanner(dpr); !prepainted.isNull())
        return QPixmap::fromImage(std::move(prepainted));
    return paintedBannerPixmap(dpr);
}

QPixmap paintedBannerPixmap(qreal dpr) {
    QPixmap pixmap = newPicture(BannerSize, dpr, Qt::white);
    QPainter painter(&pixmap);
    paintBanner(painter);
    return pixmap;
}
