// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/comportmap.h"

#include "serial/deviceinfo.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

// Devices the command line named for this run, by COM number.
PortEntries& runEntries() {
    static PortEntries entries;
    return entries;
}

// USB boards first, so that the one board a user plugs in is COM1 even on a
// PC with a built-in port.
int groupOf(const QString& path) {
    if (path.startsWith(u"/dev/ttyACM"))
        return 0;
    if (path.startsWith(u"/dev/ttyUSB"))
        return 1;
    if (path.startsWith(u"/dev/ttyS"))
        return 2;
    return 3;
}

// The device a path leads to, so that /dev/serial/by-id/... links and the
// /dev/ttyUSB0 they point at count as the same device.
QString deviceIdentity(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

// Present devices not named by an explicit entry, in COM order.
QList<QSerialPortInfo> unclaimedDevices(const QSet<QString>& claimed) {
    QMap<QString, QSerialPortInfo> byPath;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts())
        if (!claimed.contains(deviceIdentity(p.systemLocation())))
            byPath.insert(p.systemLocation(), p);
    QList<QSerialPortInfo> ports;
    for (const QString& path : ComPortMap::numberingOrder(byPath.keys()))
        ports.append(byPath.value(path));
    return ports;
}

} // namespace

ComPortMap::ComPortMap(std::optional<PortEntries> entries)
    : m_known(entries.has_value()), m_entries(entries.value_or(PortEntries())) {
    if (m_known)
        m_entries.insert(runEntries());
}

// Which free COM numbers (ascending) the unclaimed devices take: the k-th
// free number gets the k-th device.
const QSerialPortInfo* ComPortMap::unclaimedDevice(int n) const {
    if (!m_unclaimed) {
        // Explicit entries claim their devices and their numbers.
        QSet<QString> claimed;
        for (const QString& path : m_entries)
            claimed.insert(deviceIdentity(path));
        m_unclaimed = unclaimedDevices(claimed);
    }
    int k = 0;
    for (int i = 1; i <= n && k < m_unclaimed->size(); ++i) {
        if (m_entries.contains(i))
            continue;
        if (i == n)
            return &(*m_unclaimed)[k];
        ++k;
    }
    return nullptr;
}

QStringList ComPortMap::numberingOrder(QStringList devices) {
    // By group, then by the name before the trailing number, then by that
    // number, so ttyUSB2 comes before ttyUSB10 whatever the user's locale.
    static const QRegularExpression trailingNumber(QStringLiteral("^(.*?)([0-9]*)$"));
    auto key = [](const QString& path) {
        const auto m = trailingNumber.match(path);
        return std::tuple(groupOf(path), m.captured(1), m.captured(2).size(), m.captured(2), path);
    };
    std::sort(devices.begin(), devices.end(),
              [&](const QString& a, const QString& b) { return key(a) < key(b); });
    return devices;
}

QString ComPortMap::devicePath(int n) const {
    if (n < 1 || !m_known)
        return {};
    if (m_entries.contains(n))
        return m_entries.value(n);
    const QSerialPortInfo* device = unclaimedDevice(n);
    return device ? device->systemLocation() : QString();
}

QString ComPortMap::description(int n) const {
    if (n < 1 || !m_known || m_entries.contains(n))
        return {};
    const QSerialPortInfo* device = unclaimedDevice(n);
    return device ? productName(*device) : QString();
}

QList<ComPortMap::Entry> ComPortMap::entries() const {
    QList<Entry> all;
    if (!m_known)
        return all;
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        all.append({it.key(), it.value()});
    unclaimedDevice(0); // lists the devices present
    int n = 1;
    for (const QSerialPortInfo& p : *m_unclaimed) {
        while (m_entries.contains(n))
            ++n;
        all.append({n++, p.systemLocation()});
    }
    std::sort(all.begin(), all.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return all;
}

int ComPortMap::numberOf(const QString& path) const {
    const QString identity = deviceIdentity(path);
    for (const Entry& e : entries())
        if (deviceIdentity(e.path) == identity)
            return e.number;
    return 0;
}

int ComPortMap::mapForThisRun(const QString& path) const {
    if (const int n = numberOf(path); n > 0)
        return n;
    int n = 1;
    while (!devicePath(n).isEmpty())
        ++n;
    runEntries().insert(n, path);
    return n;
}

void ComPortMap::forgetRunMappings() {
    runEntries().clear();
}
