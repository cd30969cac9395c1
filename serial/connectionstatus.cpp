#include "serial/connectionstatus.h"

#include "serial/serialport.h"

QString connectionStatus(SerialPort& port) {
    if (!port.PortOpen())
        return QStringLiteral("Disconnected. Please select your COM port from options.");
    return QStringLiteral("Connected to COM") + QString::number(qint16(port.CommPort())) + u':' +
           port.Settings();
}
