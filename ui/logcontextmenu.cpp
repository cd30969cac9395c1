// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logcontextmenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QPlainTextEdit>

namespace {

QAction* command(QObject* parent, const char* name, const QString& text, const QKeySequence& keys,
                 bool checkable = false) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setCheckable(checkable);
    return a;
}

} // namespace

LogActions::LogActions(QObject* parent) : QObject(parent) {
    openLogWindow = command(this, "actOpenLogWindow", QStringLiteral("&Open Log Window"),
                            QKeySequence(Qt::CTRL | Qt::Key_L));
    find = command(this, "actFind", QStringLiteral("&Find..."), QKeySequence::Find);
    showTimes = command(this, "actShowTimes", QStringLiteral("Show &Times"),
                        QKeySequence(Qt::CTRL | Qt::Key_T), true);
    receivedAs = new QActionGroup(this);
    receivedAs->setExclusive(true);
    receivedAsDesigned = command(receivedAs, "actReceivedAsDesigned",
                                 QStringLiteral("&As Designed (One Character per Byte)"),
                                 QKeySequence(Qt::CTRL | Qt::Key_1), true);
    receivedAsUtf8 = command(receivedAs, "actReceivedAsUtf8", QStringLiteral("&UTF-8"),
                             QKeySequence(Qt::CTRL | Qt::Key_2), true);
    receivedAsHex = command(receivedAs, "actReceivedAsHex", QStringLiteral("&Hex"),
                            QKeySequence(Qt::CTRL | Qt::Key_3), true);
    for (QAction* a : {receivedAsDesigned, receivedAsUtf8, receivedAsHex})
        receivedAs->addAction(a);
    receivedAsDesigned->setChecked(true);
    stripTerminalCodes =
        command(this, "actStripTerminalCodes", QStringLiteral("Strip Terminal &Codes"),
                QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_T), true);
    saveLogAs = command(this, "actSaveLogAs", QStringLiteral("&Save Log As..."),
                        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    capture =
        command(this, "actCapture", QString(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    captureRaw =
        command(this, "actCaptureRaw", QStringLiteral("Capture &Raw (Received Bytes Only)"),
                QKeySequence(), true);
    clearLog = command(this, "actClearLog", QStringLiteral("C&lear Log"),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L));
    setCapturing(false);
}

void LogActions::setCapturing(bool capturing) {
    capture->setText(capturing ? QStringLiteral("Stop Ca&pture")
                               : QStringLiteral("Ca&pture to File..."));
    // A file holds one kind of capture: the choice waits for the next one.
    captureRaw->setEnabled(!capturing);
}

void LogActions::addShortcutsTo(QWidget* window) {
    window->addActions({openLogWindow, find, showTimes, receivedAsDesigned, receivedAsUtf8,
                        receivedAsHex, stripTerminalCodes, saveLogAs, capture, clearLog});
}

void LogActions::addSection(const QList<QAction*>& actions) {
    m_sections.append(actions);
}

QMenu* LogActions::menuFor(QPlainTextEdit* box, QWidget* parent) const {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("logMenu"));
    menu->setAccessibleName(QStringLiteral("Log menu"));
    menu->addAction(openLogWindow);
    menu->addAction(find);
    menu->addSeparator();
    menu->addAction(showTimes);
    QMenu* shownAs = menu->addMenu(QStringLiteral("Show &Received As"));
    shownAs->setObjectName(QStringLiteral("receivedAsMenu"));
    shownAs->setAccessibleName(QStringLiteral("Show Received As"));
    shownAs->addActions(receivedAs->actions());
    menu->addAction(stripTerminalCodes);
    menu->addSeparator();
    menu->addAction(saveLogAs);
    menu->addAction(capture);
    menu->addAction(captureRaw);
    for (const QList<QAction*>& section : m_sections) {
        menu->addSeparator();
        menu->addActions(section);
    }
    menu->addSeparator();
    QAction* copy = menu->addAction(QStringLiteral("&Copy"), box, &QPlainTextEdit::copy);
    copy->setObjectName(QStringLiteral("actCopy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(box->textCursor().hasSelection());
    QAction* all = menu->addAction(QStringLiteral("Select &All"), box, &QPlainTextEdit::selectAll);
    all->setObjectName(QStringLiteral("actSelectAll"));
    all->setShortcut(QKeySequence::SelectAll);
    menu->addAction(clearLog);
    return menu;
}
