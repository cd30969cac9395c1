// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class FindDialog;
class LogActions;
class LogFeed;
class LogView;
class LogWindow;
class QFileDialog;
class QPlainTextEdit;
class QPoint;
class QWidget;

// What the log offers beyond the designed main window: its context menu and
// shortcuts, the log window, find, times, how received bytes are shown,
// saving and capturing. Choices are stored in the [Log] settings at once; a
// failure to store one is logged with the tag "Log: ".
class LogControls : public QObject {
    Q_OBJECT
public:
    // clearLog does what the main window's Clear Log button does.
    LogControls(QWidget* mainWindow, QPlainTextEdit* txtLog, LogFeed& feed,
                std::function<void()> clearLog);
    ~LogControls() override;

    LogActions& actions() { return *m_actions; }
    LogWindow* logWindow() const { return m_window; } // null until first opened
    FindDialog* findDialog() const { return m_findDialog; }
    LogView& mainView() { return *m_mainView; }

    void openLogWindow();
    // The find bar of the window in front: the log window's, or the small
    // find window over the main window.
    void openFind();

    // Captures from the next entry on, the stored raw choice deciding the
    // kind; `remember` stores the file so the next start captures to it too.
    bool startCapture(const QString& path, bool remember);
    void stopCapture();
    // Writes the box's text as shown, UTF-8, readable by its owner only. A
    // failure gives one "Save Log: " Error line.
    bool saveLog(QPlainTextEdit* box, const QString& path);

    // The file choosers, made when first needed; they stay, so each opens
    // where the last choice was.
    QFileDialog* saveDialog();
    QFileDialog* captureDialog();

private:
    void loadChoices();
    void connectActions();
    void attachMenu(QPlainTextEdit* box);
    void showMenu(QPlainTextEdit* box, const QPoint& at);
    QPlainTextEdit* boxInFront() const;
    void chooseCapture();
    void chooseSaveFile();
    void store(const QString& key, const QString& value);
    void storeFlag(const QString& key, bool on);
    void storeWindowGeometry();
    void windowShown();
    void windowHidden();

    QWidget* m_main;
    QPlainTextEdit* m_txtLog;
    LogFeed& m_feed;
    std::function<void()> m_clearLog;
    LogActions* m_actions;
    LogView* m_mainView;
    LogWindow* m_window = nullptr;
    LogView* m_windowView = nullptr;
    bool m_windowShowing = false;
    FindDialog* m_findDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;
    QFileDialog* m_captureDialog = nullptr;
};
