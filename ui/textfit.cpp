// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textfit.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QString>
#include <QWidget>

#include <algorithm>

namespace {

constexpr int StretchStep = 5;

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
    // Width goes with the stretch, so start from the step below the ratio.
    // Steps, not every percent: each stretch costs the font system a face
    // of its own, which is most of what the first frame spends on text.
    int stretch = int(normal * room / wide) / StretchStep * StretchStep;
    for (;; stretch -= StretchStep) {
        stretch = std::max(stretch, narrowest);
        narrow.setStretch(stretch);
        if (stretch == narrowest || widthOf(narrow, text) <= room)
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
