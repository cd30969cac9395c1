#include "serial/serialport.h"
#include "ui/formmain.h"

void FormMain::Timer_Timer() {
    const qint16 waiting = static_cast<qint16>(m_comm->InBufferCount());
    const qint16 open = m_comm->PortOpen() ? qint16(-1) : qint16(0);

    // A device that vanished while open: log what it had sent, then say so
    // once and show the port as disconnected.
    const QString loss = m_comm->takeLossReport();
    if (!loss.isEmpty()) {
        const QString leftover = m_comm->takeUnreadAfterLoss();
        if (!leftover.isEmpty())
            updateLog(leftover, Received);
        updateLog(QStringLiteral("Receive: ") + loss, Error);
        updateCommStatus();
    }

    if ((waiting & open) == 0)
        return;
    updateLog(m_comm->Input(), Received);
}
