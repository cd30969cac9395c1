// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/terminal.h"
#include "ui/formmain.h"

#include "ui/logcontrols.h"
#include "ui/logview.h"
#include "ui/statuspanel.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace {
// Should the first frame never come (started minimised), the port opens anyway.
constexpr int PortOpenAtTheLatestMs = 250;
} // namespace

void FormMain::centre() {
    // Centred at every start; the position is never stored.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const float left = (static_cast<float>(area.width()) - width()) / 2.0f;
        const float top = (static_cast<float>(area.height()) - height()) / 2.0f;
        move(area.left() + static_cast<int>(left), area.top() + static_cast<int>(top));
    }
}

void FormMain::load() {
    centre();
    m_terminal->load();
}

void FormMain::loadAndShow(std::function<void()> loaded) {
    centre();
    m_logControls->mainView().holdEntries();
    const bool settled = m_terminal->loadSettingsFirst();
    // The port opens just after the first frame: its lock file can take
    // milliseconds to reach the disk, and the window need not wait for that.
    // The log shows its first lines then too, and reads as it would have.
    m_afterFirstFrame = [this, settled, loaded = std::move(loaded)] {
        m_logControls->mainView().showHeldEntries();
        if (settled)
            m_terminal->openPortAfterSettings();
        if (loaded)
            loaded();
    };
    statusConnection->holdDetailsUntilShown();
    show();
    QTimer::singleShot(PortOpenAtTheLatestMs, this, [this] { runAfterFirstFrame(); });
}

void FormMain::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (m_afterFirstFrame)
        QTimer::singleShot(0, this, [this] { runAfterFirstFrame(); });
}

void FormMain::runAfterFirstFrame() {
    if (const auto then = std::exchange(m_afterFirstFrame, {}))
        then();
}

void FormMain::btExit_Click() {
    saveSettings();
    close();
}
