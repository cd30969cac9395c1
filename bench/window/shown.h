// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// When a window is on screen: its first expose, once the paint that the
// expose asks for is done.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <functional>

namespace bench {

class ShownWatch : public QObject {
public:
    ShownWatch(QWidget* window, std::function<void()> shown)
        : m_window(window), m_shown(std::move(shown)) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && watched == m_window->windowHandle() &&
            m_window->windowHandle()->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued, so it runs after the expose has been painted.
            QTimer::singleShot(0, this, m_shown);
        }
        return false;
    }

private:
    QWidget* m_window;
    std::function<void()> m_shown;
};

// "--idle SECONDS" or nothing (-1).
inline double idleSeconds(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (QByteArray(argv[i]) == "--idle")
            return QByteArray(argv[i + 1]).toDouble();
    return -1;
}

} // namespace bench
