// SPDX-License-Identifier: GPL-3.0-or-later
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
// Nothing when they could not be read.
class PortEntrySource {
public:
    virtual ~PortEntrySource() = default;
    virtual std::optional<PortEntries> portEntries() const = 0;
};

// How COM numbers turn into device paths at one moment: the explicit entries
// first, then the serial devices present, in a fixed order, take the free
// numbers. Work one out per question and ask it everything that question needs.
// Devices the command line named for this run count as entries too.
//
// Without the entries the user's map is unknown, so any device present might
// be one they gave another number: then no COM number maps to a device.
class ComPortMap {
public:
    explicit ComPortMap(std::optional<PortEntries> entries);

    // False when the entries could not be read.
    bool known() const { return m_known; }

    // The device for COMn, or an empty text when n maps to nothing.
    QString devicePath(int n) const;
    // A one-line description of the device for COMn (empty when unknown).
    QString description(int n) const;
    // Device paths in the order they take the free COM numbers: /dev/ttyACM*,
    // /dev/ttyUSB*, /dev/ttyS*, then the rest, each group in numeric order.
    static QStringList numberingOrder(QStringList devices);

    // Every COM number that maps to a device, in ascending order: the
    // explicit entries and the devices present that take the free numbers.
    struct Entry {
        int number = 0;
        QString path;
    };
    QList<Entry> entries() const;
    // The COM number that leads to the device at path (any link to it
    // counts), or 0.
    int numberOf(const QString& path) const;
    // For this run only, as if [Ports] said COMn=path; never stored. Returns n:
    // the device's own number if it has one, else the lowest unmapped one.
    // Maps made afterwards include it; this one does not.
    int mapForThisRun(const QString& path) const;
    static void forgetRunMappings();

private:
    const QSerialPortInfo* unclaimedDevice(int n) const;

    bool m_known;
    PortEntries m_entries;
    // The devices present and not named by an entry, in COM order; listed
    // when first needed, since a map of explicit entries alone needs none.
    mutable std::optional<QList<QSerialPortInfo>> m_unclaimed;
};
