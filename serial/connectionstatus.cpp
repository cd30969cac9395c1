// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/connectionstatus.h"

#include "serial/deviceinfo.h"
#include "serial/serialport.h"

#include <QFileInfo>

QString connectionStatus(const SerialPort& port) {
    if (!port.PortOpen())
        return QStringLiteral("Disconnected. Please select your COM port from options.");
    return QStringLiteral("Connected to COM") + QString::number(qint16(port.CommPort())) + u':' +
           port.Settings();
}

QString connectionDetails(const SerialPort& port) {
    const QString com = QStringLiteral("COM%1").arg(qint16(port.CommPort()));
    const bool open = port.PortOpen();
    if (!open && port.isReleased())
        return QStringLiteral("%1 (%2) is released for another program. Reclaim Port "
                              "(Ctrl+Shift+R) or brovik --reclaim takes it back.")
            .arg(com, port.releasedDevice());
    const QString path = open ? port.openDevice() : port.portMap().devicePath(port.CommPort());
    if (path.isEmpty())
        return QStringLiteral("%1 maps to no serial device. Plug in a board, or name its device "
                              "for %1 in the [Ports] section of the settings file.")
            .arg(com);
    // A stable name such as /dev/serial/by-id/... also says which node it leads to.
    QString device = path;
    if (const QString target = QFileInfo(path).canonicalFilePath();
        !target.isEmpty() && target != path)
        device += QStringLiteral(" (") + target + u')';
    QString text = open ? QStringLiteral("%1 is %2").arg(com, device)
                        : QStringLiteral("%1 maps to %2, which is not open").arg(com, device);
    if (const QString info = deviceInfo(path); !info.isEmpty())
        text += QStringLiteral("\n") + info;
    if (!open && port.isAwaitingDevice())
        text += QStringLiteral("\nBrovik opens it again as soon as it is there and free.");
    return text;
}
