// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/terminal.h"
#include "ui/formmain.h"

#include <QGuiApplication>
#include <QScreen>

void FormMain::load() {
    // Centred at every start; the position is never stored.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const float left = (static_cast<float>(area.width()) - width()) / 2.0f;
        const float top = (static_cast<float>(area.height()) - height()) / 2.0f;
        move(area.left() + static_cast<int>(left), area.top() + static_cast<int>(top));
    }
    m_terminal->load();
}

void FormMain::btExit_Click() {
    saveSettings();
    close();
}
