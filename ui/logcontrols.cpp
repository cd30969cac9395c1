// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logcontrols.h"

#include "base/failure.h"
#include "session/logfeed.h"
#include "session/logoptions.h"
#include "session/regularfile.h"
#include "ui/activitylog.h"
#include "ui/findbar.h"
#include "ui/finddialog.h"
#include "ui/logcontextmenu.h"
#include "ui/logview.h"
#include "ui/logwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScreen>

#include <memory>

LogControls::LogControls(QWidget* mainWindow, QPlainTextEdit* txtLog, LogFeed& feed,
                         std::function<void()> clearLog)
    : QObject(mainWindow), m_main(mainWindow), m_txtLog(txtLog), m_feed(feed),
      m_clearLog(std::move(clearLog)), m_actions(new LogActions(this)),
      m_mainView(new LogView(txtLog)) {
    m_feed.addDisplay(m_mainView);
    m_feed.setDisplayLines(ActivityLog::CapacityLines);
    m_feed.setCaptureEnded([this] { m_actions->setCapturing(false); });
    m_actions->addShortcutsTo(mainWindow);
    attachMenu(txtLog);
    loadChoices();
    connectActions();
}

LogControls::~LogControls() {
    if (m_windowShowing)
        storeWindowGeometry();
    m_feed.setCaptureEnded({});
    m_feed.removeDisplay(m_mainView);
    if (m_windowView)
        m_feed.removeDisplay(m_windowView);
}

void LogControls::loadChoices() {
    QStringList problems;
    LogOptions::Choices c;
    try {
        c = LogOptions::load(&problems);
    } catch (const Failure&) {
        // An unreadable store is reported once, when the settings load.
    }
    m_feed.setShowTimes(c.showTimes);
    m_actions->showTimes->setChecked(c.showTimes);
    m_feed.setReceivedAs(c.receivedAs);
    (c.receivedAs == ReceivedAs::Hex    ? m_actions->receivedAsHex
     : c.receivedAs == ReceivedAs::Utf8 ? m_actions->receivedAsUtf8
                                        : m_actions->receivedAsDesigned)
        ->setChecked(true);
    m_feed.setStripTerminalCodes(c.stripTerminalCodes);
    m_actions->stripTerminalCodes->setChecked(c.stripTerminalCodes);
    m_actions->captureRaw->setChecked(c.captureRaw);
    for (const QString& problem : problems)
        m_feed.updateLog(QStringLiteral("Log: ") + problem, LogCategory::Error);
    if (!c.capture.isEmpty())
        startCapture(c.capture, false);
}

void LogControls::connectActions() {
    LogActions& a = *m_actions;
    connect(a.openLogWindow, &QAction::triggered, this, &LogControls::openLogWindow);
    connect(a.find, &QAction::triggered, this, &LogControls::openFind);
    connect(a.showTimes, &QAction::triggered, this, [this](bool on) {
        m_feed.setShowTimes(on);
        storeFlag(LogOptions::ShowTimes, on);
    });
    connect(a.receivedAs, &QActionGroup::triggered, this, [this](QAction* chosen) {
        const ReceivedAs mode = chosen == m_actions->receivedAsHex    ? ReceivedAs::Hex
                                : chosen == m_actions->receivedAsUtf8 ? ReceivedAs::Utf8
                                                                      : ReceivedAs::Designed;
        m_feed.setReceivedAs(mode);
        store(LogOptions::ReceivedAsKey, LogOptions::nameOf(mode));
    });
    connect(a.stripTerminalCodes, &QAction::triggered, this, [this](bool on) {
        m_feed.setStripTerminalCodes(on);
        storeFlag(LogOptions::StripTerminalCodes, on);
    });
    connect(a.saveLogAs, &QAction::triggered, this, &LogControls::chooseSaveFile);
    connect(a.capture, &QAction::triggered, this, &LogControls::chooseCapture);
    connect(a.captureRaw, &QAction::triggered, this,
            [this](bool on) { storeFlag(LogOptions::CaptureRaw, on); });
    connect(a.clearLog, &QAction::triggered, this, [this] { m_clearLog(); });
}

void LogControls::attachMenu(QPlainTextEdit* box) {
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [this, box](const QPoint& at) { showMenu(box, at); });
    // The menu key works by itself; Shift+F10 is the other usual way.
    auto* keys = new QAction(box);
    keys->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10));
    keys->setShortcutContext(Qt::WidgetShortcut);
    connect(keys, &QAction::triggered, this,
            [this, box] { showMenu(box, box->cursorRect().center()); });
    box->addAction(keys);
}

void LogControls::showMenu(QPlainTextEdit* box, const QPoint& at) {
    const std::unique_ptr<QMenu> menu(m_actions->menuFor(box, box));
    menu->exec(box->viewport()->mapToGlobal(at));
}

QPlainTextEdit* LogControls::boxInFront() const {
    if (m_window && m_window->isVisible() && QApplication::activeWindow() == m_window)
        return m_window->txtLogWindow;
    return m_txtLog;
}

void LogControls::openLogWindow() {
    if (!m_window) {
        m_window = new LogWindow(m_main);
        m_windowView = new LogView(m_window->txtLogWindow);
        attachMenu(m_window->txtLogWindow);
        m_actions->addShortcutsTo(m_window);
        connect(m_window, &LogWindow::shown, this, &LogControls::windowShown);
        connect(m_window, &LogWindow::hidden, this, &LogControls::windowHidden);
        QByteArray geometry;
        try {
            geometry = LogOptions::windowGeometry();
        } catch (const Failure&) {
        }
        if (geometry.isEmpty() || !m_window->restoreGeometry(geometry)) {
            // Beside the main window, as far as the screen allows.
            const QRect main = m_main->frameGeometry();
            QPoint at(main.right() + 8, main.top());
            if (const QScreen* screen = m_main->screen()) {
                const QRect area = screen->availableGeometry();
                at.setX(std::max(area.left(), std::min(at.x(), area.right() - m_window->width())));
                at.setY(std::max(area.top(), std::min(at.y(), area.bottom() - m_window->height())));
            }
            m_window->move(at);
        }
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void LogControls::windowShown() {
    if (m_windowShowing)
        return;
    m_windowShowing = true;
    // The log so far, then every entry as it comes.
    QPlainTextEdit* box = m_window->txtLogWindow;
    box->setPlainText(m_txtLog->toPlainText());
    box->moveCursor(QTextCursor::End);
    m_feed.addDisplay(m_windowView);
}

void LogControls::windowHidden() {
    if (!m_windowShowing)
        return;
    m_windowShowing = false;
    storeWindowGeometry();
    // Hidden, it costs nothing: it takes the log again when shown.
    m_feed.removeDisplay(m_windowView);
    m_window->txtLogWindow->clear();
}

void LogControls::openFind() {
    if (m_window && m_window->isVisible() && QApplication::activeWindow() == m_window) {
        m_window->findBar->openBar();
        return;
    }
    if (!m_findDialog)
        m_findDialog = new FindDialog(m_txtLog, m_main);
    m_findDialog->openOver(m_txtLog);
}

bool LogControls::startCapture(const QString& path, bool remember) {
    const bool started = m_feed.startCapture(path, m_actions->captureRaw->isChecked());
    m_actions->setCapturing(m_feed.capturing());
    if (started && remember)
        store(LogOptions::Capture, path);
    return started;
}

void LogControls::stopCapture() {
    m_feed.stopCapture();
    m_actions->setCapturing(false);
    store(LogOptions::Capture, QString());
}

QFileDialog* LogControls::captureDialog() {
    if (!m_captureDialog) {
        m_captureDialog = new QFileDialog(m_main, QStringLiteral("Capture to File"));
        m_captureDialog->setObjectName(QStringLiteral("dlgCapture"));
        m_captureDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_captureDialog->setFileMode(QFileDialog::AnyFile);
        // A capture adds to the end of a file that is there already.
        m_captureDialog->setOption(QFileDialog::DontConfirmOverwrite);
        m_captureDialog->setLabelText(QFileDialog::Accept, QStringLiteral("&Capture"));
        m_captureDialog->setNameFilters(
            {QStringLiteral("Log files (*.log *.txt)"), QStringLiteral("All files (*)")});
    }
    return m_captureDialog;
}

QFileDialog* LogControls::saveDialog() {
    if (!m_saveDialog) {
        m_saveDialog = new QFileDialog(m_main, QStringLiteral("Save Log As"));
        m_saveDialog->setObjectName(QStringLiteral("dlgSaveLog"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_saveDialog->setFileMode(QFileDialog::AnyFile);
        m_saveDialog->setNameFilters(
            {QStringLiteral("Log files (*.log *.txt)"), QStringLiteral("All files (*)")});
    }
    return m_saveDialog;
}

void LogControls::chooseCapture() {
    if (m_feed.capturing()) {
        stopCapture();
        return;
    }
    QFileDialog* dialog = captureDialog();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    startCapture(dialog->selectedFiles().first(), true);
}

void LogControls::chooseSaveFile() {
    QPlainTextEdit* box = boxInFront();
    QFileDialog* dialog = saveDialog();
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return;
    saveLog(box, dialog->selectedFiles().first());
}

bool LogControls::saveLog(QPlainTextEdit* box, const QString& path) {
    try {
        QSaveFile out(regularFileFor(path));
        if (!out.open(QIODevice::WriteOnly))
            throw Failure(out.errorString());
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        out.write(box->toPlainText().toUtf8());
        if (!out.commit())
            throw Failure(out.errorString());
        return true;
    } catch (const Failure& f) {
        m_feed.updateLog(
            QStringLiteral("Save Log: cannot save the log to %1: %2").arg(path, f.description()),
            LogCategory::Error);
        return false;
    }
}

void LogControls::store(const QString& key, const QString& value) {
    try {
        LogOptions::save(key, value);
    } catch (const Failure& f) {
        m_feed.updateLog(QStringLiteral("Log: ") + f.description(), LogCategory::Error);
    }
}

void LogControls::storeFlag(const QString& key, bool on) {
    store(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void LogControls::storeWindowGeometry() {
    const QByteArray geometry = m_window->saveGeometry();
    try {
        if (LogOptions::windowGeometry() == geometry)
            return;
        LogOptions::saveWindowGeometry(geometry);
    } catch (const Failure& f) {
        m_feed.updateLog(QStringLiteral("Log: ") + f.description(), LogCategory::Error);
    }
}
