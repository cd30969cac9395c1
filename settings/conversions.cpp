#include "settings/conversions.h"

#include "app/failure.h"

#include <QCheckBox>

qint64 toInteger(const QString& what, const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw Failure(QStringLiteral("%1 \"%2\" is not a number").arg(what, text));
    if (v < min || v > max)
        throw Failure(
            QStringLiteral("%1 %2 is out of range (%3 to %4)").arg(what).arg(v).arg(min).arg(max));
    return v;
}

qint16 toInt16(const QString& what, const QString& text) {
    return static_cast<qint16>(toInteger(what, text, -32768, 32767));
}

void setStateCode(QCheckBox* box, const QString& what, int code) {
    if (code < 0 || code > 2)
        throw Failure(QStringLiteral("%1 %2 is not a check box state (0 clear, 1 ticked, 2 greyed)")
                          .arg(what)
                          .arg(code));
    // Greyed shows only while a box holds a stored 2.
    box->setTristate(code == 2);
    box->setCheckState(code == 1 ? Qt::Checked : code == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
}

qint16 stateCode(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}
