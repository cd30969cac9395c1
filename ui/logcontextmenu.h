// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QActionGroup;
class QMenu;
class QPlainTextEdit;
class QWidget;

// The log's commands: one set for the program, shown in the context menu of
// every log box and reachable by their shortcuts in every window that has
// them. Copy and Select All belong to the box whose menu it is.
class LogActions : public QObject {
    Q_OBJECT
public:
    explicit LogActions(QObject* parent);

    QAction* openLogWindow;
    QAction* find;
    QAction* showTimes;
    QActionGroup* receivedAs;
    QAction* receivedAsDesigned;
    QAction* receivedAsUtf8;
    QAction* receivedAsHex;
    QAction* stripTerminalCodes;
    QAction* saveLogAs;
    QAction* capture; // "Capture to File..." or, while capturing, "Stop Capture"
    QAction* captureRaw;
    QAction* clearLog;

    // The shortcuts work anywhere in this window.
    void addShortcutsTo(QWidget* window);
    // Further commands, in a section of their own after the log's.
    void addSection(const QList<QAction*>& actions);
    // The context menu for one box; the caller owns it.
    QMenu* menuFor(QPlainTextEdit* box, QWidget* parent) const;
    // Shows the capture command for the state the capture is in.
    void setCapturing(bool capturing);

private:
    QList<QList<QAction*>> m_sections;
};
