// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/textfit.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QString>
#include <QWidget>

#include <algorithm>
#include <cmath>

qreal narrowingToFit(const QFont& font, const QString& text, int room) {
    // Whole pixels, so that the narrowed text fills no more than its room.
    const qreal wide = std::ceil(
        QFontMetricsF(font).size(Qt::TextSingleLine | Qt::TextShowMnemonic, text).width());
    if (wide <= room || room <= 0)
        return 1.0;
    return std::max(room / wide, NarrowestStretch / 100.0);
}

namespace {

// The first of the faces the layout was designed with that is installed,
// else the desktop's own sans serif. Looked up in the list of installed
// families: asking the font system for each name costs a search of its own.
QString designFamily() {
    const QStringList installed = QFontDatabase::families();
    for (const char* name : {"Liberation Sans", "Arimo", "Nimbus Sans", "Arial", "Helvetica"})
        if (const QString family = QString::fromLatin1(name);
            installed.contains(family, Qt::CaseInsensitive))
            return family;
    // The application's font, which the text boxes load anyway.
    return QFontInfo(QGuiApplication::font()).family();
}

} // namespace

void applyDesignFont(QWidget* window) {
    QFont f = window->font();
    f.setFamilies({designFamily()});
    f.setPixelSize(11);
    window->setFont(f);
}
