// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/autoclear.h"

bool autoClearIsOn(const QVariant& flag) {
    bool ok = false;
    const double v = flag.toString().trimmed().toDouble(&ok);
    return ok && qIsFinite(v) && v != 0;
}

QString autoClearText(const QVariant& flag) {
    if (!flag.isValid())
        return QString();
    return flag.toString();
}
