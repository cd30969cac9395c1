#pragma once

#include <QString>

// Turns COM numbers into device paths: explicit "Ports/COMn" entries of the
// settings file first, then the serial devices present in a fixed order.
class ComPortMap {
public:
    // The device for COMn, or an empty text when n maps to nothing.
    static QString devicePath(int n);
    // A one-line description of the device for COMn (empty when unknown).
    static QString description(int n);
};
