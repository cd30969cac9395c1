#pragma once

#include <QList>
#include <QMap>
#include <QSerialPortInfo>
#include <QString>
#include <QStringList>

#include <optional>

// The COM numbers a user gave a device of their own: number -> device path.
using PortEntries = QMap<int, QString>;

// Where those entries come from (the settings file's "Ports" section). Asked
// afresh for every map, so an entry written meanwhile counts at the next open.
class PortEntrySource {
public:
    virtual ~PortEntrySource() = default;
    virtual PortEntries portEntries() const = 0;
};

// How COM numbers turn into device paths at one moment: the explicit entries
// first, then the serial devices present, in a fixed order, take the free
// numbers. Work one out per question and ask it everything that question needs.
class ComPortMap {
public:
    explicit ComPortMap(PortEntries entries);

    // The device for COMn, or an empty text when n maps to nothing.
    QString devicePath(int n) const;
    // A one-line description of the device for COMn (empty when unknown).
    QString description(int n) const;
    // Device paths in the order they take the free COM numbers: /dev/ttyACM*,
    // /dev/ttyUSB*, /dev/ttyS*, then the rest, each group in numeric order.
    static QStringList numberingOrder(QStringList devices);

private:
    const QSerialPortInfo* unclaimedDevice(int n) const;

    PortEntries m_entries;
    // The devices present and not named by an entry, in COM order; listed
    // when first needed, since a map of explicit entries alone needs none.
    mutable std::optional<QList<QSerialPortInfo>> m_unclaimed;
};
