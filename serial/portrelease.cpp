// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/portrelease.h"

#include "base/failure.h"
#include "base/logsink.h"
#include "serial/serialport.h"

namespace {

// The released device rather than what the number maps to now.
QString releasedLabel(const SerialPort& port) {
    return QStringLiteral("COM%1 (%2)")
        .arg(QString::number(port.CommPort()), port.releasedDevice());
}

} // namespace

QString releaseForAnotherProgram(SerialPort& port, LogSink& log) {
    if (port.isReleased())
        throw Failure(QStringLiteral("Brovik holds no port: %1 is released already")
                          .arg(releasedLabel(port)));
    const QString label = port.portLabel();
    const qint64 unsent = port.releasePort();
    const QString line = QStringLiteral("Released %1 for another program").arg(label);
    log.updateLog(line, LogCategory::Info);
    if (unsent > 0)
        log.updateLog(QStringLiteral("Release Port: %1 bytes were not sent to %2: the device "
                                     "took no more data")
                          .arg(QString::number(unsent), label),
                      LogCategory::Error);
    return line;
}

QString reclaimReleased(SerialPort& port) {
    if (port.PortOpen())
        throw Failure(QStringLiteral("Brovik holds %1 already").arg(port.portLabel()));
    if (!port.isReleased())
        throw Failure(QStringLiteral("Brovik has not released %1, so there is nothing to reclaim")
                          .arg(port.portLabel()));
    const QString label = releasedLabel(port);
    port.reclaimPort();
    return QStringLiteral("Reclaiming %1: Brovik opens it again as soon as it is free").arg(label);
}

QString portStatus(SerialPort& port) {
    if (port.PortOpen())
        return QStringLiteral("%1 is open at %2").arg(port.portLabel(), port.Settings());
    if (port.isReleased())
        return QStringLiteral("%1 is released for another program").arg(releasedLabel(port));
    if (port.isAwaitingDevice())
        return QStringLiteral("%1 is closed; Brovik opens it again as soon as it is free")
            .arg(port.portLabel());
    return QStringLiteral("%1 is closed").arg(port.portLabel());
}
