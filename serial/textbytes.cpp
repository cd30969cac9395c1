// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/textbytes.h"

QByteArray toWireBytes(const QString& text) {
    QByteArray out;
    out.reserve(text.size());
    const QChar* data = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = data[i].unicode();
        if (c <= 0xFF) {
            out.append(static_cast<char>(c));
            continue;
        }
        // Keep surrogate pairs together so they encode as one code point.
        qsizetype len = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < n && data[i + 1].isLowSurrogate())
            len = 2;
        out.append(QStringView(data + i, len).toUtf8());
        i += len - 1;
    }
    return out;
}

QString fromWireBytes(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}
