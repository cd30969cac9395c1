// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/conversions.h"

#include "base/failure.h"

qint64 toInteger(const QString& what, const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw Failure(QStringLiteral("%1 \"%2\" is not a number").arg(what, text));
    if (v < min || v > max)
        throw Failure(
            QStringLiteral("%1 %2 is out of range (%3 to %4)")
                .arg(what, QString::number(v), QString::number(min), QString::number(max)));
    return v;
}

qint16 toInt16(const QString& what, const QString& text) {
    return static_cast<qint16>(toInteger(what, text, -32768, 32767));
}

qint16 toCheckState(const QString& what, qint64 code) {
    if (code < 0 || code > 2)
        throw Failure(QStringLiteral("%1 %2 is not a check box state (0 clear, 1 ticked, 2 greyed)")
                          .arg(what, QString::number(code)));
    return static_cast<qint16>(code);
}
