#include "app/failure.h"
#include "serial/serialport.h"
#include "ui/formmain.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

void FormMain::load() {
    try {
        // Centred at every start; the position is never stored.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            const float left = (static_cast<float>(area.width()) - width()) / 2.0f;
            const float top = (static_cast<float>(area.height()) - height()) / 2.0f;
            move(area.left() + static_cast<int>(left), area.top() + static_cast<int>(top));
        }
        updateLog(QStringLiteral("Loading settings..."), Info);
        loadSettings();
        m_comm->setPortOpen(true);
        m_comm->setInputLen(0);
        QCoreApplication::processEvents();
        updateCommStatus();
        updateLog(QStringLiteral("Connected to port"), Info);
        updateLog(QStringLiteral("Ready!"), Info);
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("Load: ") + describe(e), Error);
    }
}

void FormMain::btExit_Click() {
    saveSettings();
    close();
}
