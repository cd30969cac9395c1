// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"

#include <QObject>

class FormMain;
class LogActions;
class QAction;
class SerialPort;

// What the board on the main window's port gets beyond the designed
// controls: Reset Board (Ctrl+R), Send Break (Ctrl+B) and Release Port
// (Ctrl+Shift+R), which reads Reclaim Port while the port is released. The
// shortcuts work anywhere in the window; the log's context menu shows them.
class BoardActions : public QObject {
    Q_OBJECT
public:
    explicit BoardActions(FormMain& window);
    ~BoardActions() override;

    // Adds the three actions, their texts following the port, to the log's
    // context menu, in a section of their own.
    void addTo(LogActions& log);

    // What the actions do. Each logs what it did or, as an Error line, why not.
    void resetBoard();
    void sendBreak();
    void releaseOrReclaim();

    // For a caller on the desktop bus: the same, answering with a line of
    // text; a refusal throws Failure and is left to the caller to show.
    QString release();
    QString reclaim();
    QString status();

    QAction* resetAction = nullptr;
    QAction* breakAction = nullptr;
    QAction* releaseAction = nullptr;

private:
    class WindowLog : public LogSink {
    public:
        explicit WindowLog(FormMain& window) : m_window(window) {}
        void updateLog(const QString& Data, LogCategory Cat) override;

    private:
        FormMain& m_window;
    };

    SerialPort& port();
    // The release entry reads Release or Reclaim as the port now stands.
    void refresh();

    FormMain& m_window;
    WindowLog m_log;
};
