// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/statuspanel.h"

#include <QEvent>

StatusPanel::StatusPanel(QWidget* parent, std::function<QString()> details)
    : QLabel(parent), m_details(std::move(details)) {}

void StatusPanel::refreshDetails() {
    setToolTip(m_details());
}

bool StatusPanel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip)
        refreshDetails();
    return QLabel::event(event);
}
