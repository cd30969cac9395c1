// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/aboutface.h"

#include "ui/pictures/banner.h"
#include "ui/pictures/painting.h"
#include "ui/weblinks.h"

#include <QPainter>

namespace {

const QColor Paper(0xfb, 0xfa, 0xf7);
const QColor Ink(0x14, 0x25, 0x3b);
const QColor Muted(0x4a, 0x5a, 0x6c);
const QColor Link(0x1f, 0x5f, 0xa8);

// The blocks above the maker line, top to bottom, under the banner.
constexpr QRectF VersionLine(5, 38, 281, 14);
constexpr QRectF PurposeText(5, 55, 281, 37);
constexpr QRectF DonationText(5, 97, 281, 36);

void drawParagraph(QPainter& painter, const QRectF& box, const QFont& font, const QString& text) {
    painter.setFont(fittedWrappedFont(font, text, box, painter.device()));
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
}

} // namespace

QString aboutVersionText() {
    return QStringLiteral("Version %1").arg(QStringLiteral(BROVIK_VERSION));
}

QString aboutPurposeText() {
    return QStringLiteral("Brovik is a test tool for microcontroller programmers: it sends data "
                          "and files to a microcontroller and receives what the microcontroller "
                          "sends back.");
}

QString aboutDonationText() {
    return QStringLiteral("Brovik is free. If it helps your work, please support it with a "
                          "donation through the %1 web site.")
        .arg(makerName());
}

QString aboutVisitText() {
    return QStringLiteral("Visit %1 at %2").arg(makerName(), makerSiteName());
}

QString aboutCreditText() {
    return QStringLiteral("Written by %1 <%2>").arg(authorCredit(), contactEmail());
}

QString aboutAuthorAddress() {
    return authorSiteName();
}

QPixmap aboutFacePixmap(qreal dpr) {
    QPixmap pixmap = newPicture(AboutFaceSize, dpr, Paper);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    // The banner, scaled down to the face's width.
    const qreal scale = qreal(AboutFaceSize.width()) / BannerSize.width();
    painter.save();
    painter.scale(scale, scale);
    paintBanner(painter);
    painter.restore();

    const qreal left = AboutMakerLine.left();
    const qreal width = AboutMakerLine.width();

    painter.setPen(Ink);
    drawTextLine(painter, VersionLine, pictureFont(11, QFont::Bold), aboutVersionText());

    painter.setPen(Muted);
    drawParagraph(painter, PurposeText, pictureFont(10), aboutPurposeText());
    drawParagraph(painter, DonationText, pictureFont(10), aboutDonationText());

    painter.setPen(Link);
    drawTextLine(painter, AboutMakerLine, pictureFont(11, QFont::DemiBold), aboutVisitText());

    // The rule sits in the gap between the two link areas.
    const qreal ruleY = (AboutMakerLine.bottom() + 1 + AboutAuthorLines.top()) / 2.0;
    painter.setPen(QPen(QColor(0xb8, 0xc2, 0xcc), 1, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(left, ruleY), QPointF(left + width, ruleY));

    const qreal half = AboutAuthorLines.height() / 2.0;
    painter.setPen(Ink);
    drawTextLine(painter, QRectF(AboutAuthorLines.left(), AboutAuthorLines.top(), width, half),
                 pictureFont(9), aboutCreditText());
    painter.setPen(Link);
    drawTextLine(painter,
                 QRectF(AboutAuthorLines.left(), AboutAuthorLines.top() + half, width, half),
                 pictureFont(9), aboutAuthorAddress());

    // A thin frame keeps the borderless box apart from the window behind it.
    painter.setPen(QPen(QColor(0x8a, 0x98, 0xa8), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(0.5, 0.5, AboutFaceSize.width() - 1, AboutFaceSize.height() - 1));
    return pixmap;
}
