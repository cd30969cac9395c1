#include "base/reportfailure.h"
#include "serial/serialport.h"
#include "ui/activitylog.h"
#include "ui/formmain.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>

void FormMain::load() {
    reportingFailures(*m_log, QStringLiteral("Load: "), [this] {
        // Centred at every start; the position is never stored.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->geometry();
            const float left = (static_cast<float>(area.width()) - width()) / 2.0f;
            const float top = (static_cast<float>(area.height()) - height()) / 2.0f;
            move(area.left() + static_cast<int>(left), area.top() + static_cast<int>(top));
        }
        updateLog(QStringLiteral("Loading settings..."), LogCategory::Info);
        loadSettings();
        m_comm->setPortOpen(true);
        m_comm->setInputLen(0);
        QCoreApplication::processEvents();
        updateCommStatus();
        updateLog(QStringLiteral("Connected to port"), LogCategory::Info);
        updateLog(QStringLiteral("Ready!"), LogCategory::Info);
    });
}

void FormMain::btExit_Click() {
    saveSettings();
    close();
}
