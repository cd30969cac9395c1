// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/escapetext.h"

#include "serial/textbytes.h"

QString showEscapes(const QString& text) {
    QString shown;
    shown.reserve(text.size());
    for (const char byte : toWireBytes(text)) {
        const auto b = static_cast<unsigned char>(byte);
        if (b >= 0x20 && b < 0x7F)
            shown += QLatin1Char(byte);
        else
            shown += QStringLiteral("0x%1h").arg(
                QString::number(b, 16).toUpper().rightJustified(2, u'0'));
    }
    return shown;
}
