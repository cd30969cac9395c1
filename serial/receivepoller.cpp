// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/receivepoller.h"

#include "base/logsink.h"
#include "serial/serialport.h"

bool ReceivePoller::tick() {
    // QSerialPort does not report every vanished device: look at each tick.
    m_port.checkAlive();
    // A device that vanished while open, found now or since the last tick:
    // log what it had sent, then say so once, before any reconnect.
    const QString loss = m_port.takeLossReport();
    if (!loss.isEmpty()) {
        const QString leftover = m_port.takeUnreadAfterLoss();
        if (!leftover.isEmpty())
            m_log.updateLog(leftover, LogCategory::Received);
        m_log.updateLog(QStringLiteral("Receive: ") + loss, LogCategory::Error);
    }

    // A board that vanished (reset, re-flashed, re-plugged) comes back as it was.
    const bool back = m_port.reopenAwaitedDevice();
    if (back)
        m_log.updateLog(QStringLiteral("Reconnected to ") + m_port.portLabel(), LogCategory::Info);

    const qint16 waiting = static_cast<qint16>(m_port.InBufferCount());
    const qint16 open = m_port.PortOpen() ? qint16(-1) : qint16(0);
    if ((waiting & open) != 0)
        m_log.updateLogBytes(m_port.InputBytes(), LogCategory::Received);
    return back || !loss.isEmpty();
}
