// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textfit.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <QWidget>

#include <algorithm>

namespace {

qreal widthOf(const QFont& font, const QString& text) {
    return QFontMetricsF(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text).width();
}

} // namespace

QFont fittedFont(const QFont& font, const QString& text, int room) {
    const qreal wide = widthOf(font, text);
    if (wide <= room || room <= 0)
        return font;
    // Letters are made narrower rather than smaller: the caption stays as
    // tall and as legible as every other one in the window.
    const int normal = font.stretch() > 0 ? font.stretch() : int(QFont::Unstretched);
    const int narrowest = normal * NarrowestStretch / 100;
    QFont narrow = font;
    int stretch = std::max(narrowest, int(normal * room / wide));
    for (;; --stretch) {
        narrow.setStretch(stretch);
        if (stretch <= narrowest || widthOf(narrow, text) <= room)
            return narrow;
    }
}

void applyDesignFont(QWidget* window) {
    QFont f = window->font();
    f.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                   QStringLiteral("Nimbus Sans"), QStringLiteral("Arial"),
                   QStringLiteral("Helvetica"), f.family()});
    f.setPixelSize(11);
    // Settled on the family found once: otherwise every size and width the
    // captions take asks the font system for each name in the list anew.
    f.setFamilies({QFontInfo(f).family()});
    window->setFont(f);
}
