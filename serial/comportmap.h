#pragma once

#include <QString>
#include <QStringList>

// Turns COM numbers into device paths: explicit "Ports/COMn" entries of the
// settings file first, then the serial devices present in a fixed order.
class ComPortMap {
public:
    // The device for COMn, or an empty text when n maps to nothing.
    static QString devicePath(int n);
    // A one-line description of the device for COMn (empty when unknown).
    static QString description(int n);
    // Device paths in the order they take the free COM numbers: /dev/ttyACM*,
    // /dev/ttyUSB*, /dev/ttyS*, then the rest, each group in numeric order.
    static QStringList numberingOrder(QStringList devices);
};
