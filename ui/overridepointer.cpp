// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/overridepointer.h"

#include <QCursor>
#include <QGuiApplication>

OverridePointer::~OverridePointer() {
    setDefaultPointer();
}

void OverridePointer::setBusyPointer() {
    if (!m_busy)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    m_busy = true;
}

void OverridePointer::setDefaultPointer() {
    if (m_busy)
        QGuiApplication::restoreOverrideCursor();
    m_busy = false;
}
