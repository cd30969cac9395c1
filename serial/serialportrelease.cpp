// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serialport.h"

#include "base/failure.h"

qint64 SerialPort::releasePort() {
    if (!PortOpen())
        throw Failure(QStringLiteral("Brovik holds no port: %1 is not open").arg(portLabel()));
    const QString path = m_openPath;
    const DeviceIdentity identity = m_openIdentity;
    const qint64 unsent = flushAndClose();
    m_awaitedPath.clear();
    m_awaited = identity;
    m_releasedPath = path;
    return unsent;
}

void SerialPort::reclaimPort() {
    if (m_releasedPath.isEmpty())
        throw Failure(
            QStringLiteral("%1 was not released, so there is nothing to reclaim").arg(portLabel()));
    // Awaited as after a loss, whatever kind of device it is: the user asks
    // for this very one back.
    m_awaitedPath = std::exchange(m_releasedPath, QString());
    m_reclaiming = true;
}
