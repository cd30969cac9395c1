// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/boardactions.h"

#include "base/reportfailure.h"
#include "serial/boardlines.h"
#include "serial/portrelease.h"
#include "serial/serialport.h"
#include "settings/boardsettings.h"
#include "ui/formmain.h"
#include "ui/logcontextmenu.h"

#include <QAction>

#include <memory>

namespace {

QAction* action(QObject* parent, const QString& text, const QKeySequence& keys,
                const QString& tip) {
    auto* a = new QAction(text, parent);
    a->setShortcut(keys);
    a->setToolTip(tip);
    a->setStatusTip(tip);
    return a;
}

PortNames namesOf(SerialPort& port) {
    return {QStringLiteral("COM%1").arg(port.CommPort()), port.portLabel(), port.Handshaking()};
}

void requireOpen(SerialPort& port) {
    if (!port.PortOpen())
        throw Failure(QStringLiteral("%1 is not open").arg(port.portLabel()));
}

} // namespace

void BoardActions::WindowLog::updateLog(const QString& Data, LogCategory Cat) {
    m_window.updateLog(Data, Cat);
}

BoardActions::BoardActions(FormMain& window) : m_window(window), m_log(window) {
    resetAction = action(this, QStringLiteral("Reset Board"), QKeySequence(Qt::CTRL | Qt::Key_R),
                         QStringLiteral("Pulse the control lines that reset the board (the Reset "
                                        "key of the [COM] settings: dtr, rts or esp)"));
    breakAction = action(this, QStringLiteral("Send Break"), QKeySequence(Qt::CTRL | Qt::Key_B),
                         QStringLiteral("Send a %1 ms break").arg(BreakMs));
    releaseAction = action(this, QStringLiteral("Release Port"),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R), QString());
    releaseAction->setCheckable(true);
    connect(resetAction, &QAction::triggered, this, &BoardActions::resetBoard);
    connect(breakAction, &QAction::triggered, this, &BoardActions::sendBreak);
    // The entry acts on the port as it stands, not on the check mark.
    connect(releaseAction, &QAction::triggered, this, &BoardActions::releaseOrReclaim);
    for (QAction* a : {resetAction, breakAction, releaseAction})
        window.addAction(a);
    refresh();
}

BoardActions::~BoardActions() = default;

SerialPort& BoardActions::port() {
    return m_window.MSComm();
}

void BoardActions::refresh() {
    const bool released = port().isReleased();
    releaseAction->setChecked(released);
    releaseAction->setText(released ? QStringLiteral("Reclaim Port")
                                    : QStringLiteral("Release Port"));
    const QString tip = released ? QStringLiteral("Open the released port again as soon as it "
                                                  "is free")
                                 : QStringLiteral("Close the port so that another program (a "
                                                  "flasher) can use it");
    releaseAction->setToolTip(tip);
    releaseAction->setStatusTip(tip);
}

void BoardActions::addTo(LogActions& log) {
    refresh();
    log.addSection({resetAction, breakAction, releaseAction});
}

void BoardActions::resetBoard() {
    reportingFailures(m_log, QStringLiteral("Reset Board: "), [this] {
        requireOpen(port());
        const ResetPlan plan = storedResetPlan();
        m_log.updateLog(::resetBoard(port(), plan, namesOf(port())), LogCategory::Info);
    });
}

void BoardActions::sendBreak() {
    reportingFailures(m_log, QStringLiteral("Send Break: "), [this] {
        requireOpen(port());
        m_log.updateLog(::sendBreak(port(), namesOf(port())), LogCategory::Info);
    });
}

void BoardActions::releaseOrReclaim() {
    const bool released = port().isReleased();
    reportingFailures(
        m_log, released ? QStringLiteral("Reclaim Port: ") : QStringLiteral("Release Port: "),
        [&] { released ? reclaim() : release(); });
    refresh();
}

QString BoardActions::release() {
    const QString line = releaseForAnotherProgram(port(), m_log);
    m_window.updateCommStatus();
    refresh();
    return line;
}

QString BoardActions::reclaim() {
    const QString waiting = reclaimReleased(port());
    refresh();
    // The receive tick reopens an awaited device and logs it as it logs any
    // reconnection; run one now rather than up to half a second later.
    m_window.Timer_Timer();
    if (port().PortOpen())
        return QStringLiteral("Reconnected to ") + port().portLabel();
    m_log.updateLog(waiting, LogCategory::Info);
    m_window.updateCommStatus();
    return waiting;
}

QString BoardActions::status() {
    return portStatus(port());
}
