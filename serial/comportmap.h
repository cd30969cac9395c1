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

    // Every COM number that maps to a device, in ascending order: the
    // explicit entries and the devices present that take the free numbers.
    struct Entry {
        int number = 0;
        QString path;
    };
    static QList<Entry> entries();
    // The COM number that leads to the device at path (any link to it
    // counts), or 0.
    static int numberOf(const QString& path);
    // For this run only, as if [Ports] said COMn=path; never stored. Returns n:
    // the device's own number if it has one, else the lowest unmapped one.
    static int mapForThisRun(const QString& path);
    static void forgetRunMappings();
};
