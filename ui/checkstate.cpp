// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/checkstate.h"

#include <QCheckBox>

void setStateCode(QCheckBox* box, qint16 code) {
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
