// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/statuspanel.h"

#include <QEvent>
#include <QTimer>

StatusPanel::StatusPanel(QWidget* parent, std::function<QString()> details)
    : QLabel(parent), m_details(std::move(details)) {}

void StatusPanel::refreshDetails() {
    m_stale = m_holding;
    if (!m_holding)
        setToolTip(m_details());
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip)
        setToolTip(m_details());
    return QLabel::event(event);
}

void StatusPanel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!m_holding)
        return;
    m_holding = false;
    if (m_stale)
        QTimer::singleShot(0, this, [this] { refreshDetails(); });
}
