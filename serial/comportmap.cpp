#include "serial/comportmap.h"

#include "base/failure.h"
#include "serial/deviceinfo.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSet>

#include <algorithm>
#include <tuple>

namespace {

// Devices the command line named for this run, by COM number.
QMap<int, QString>& runEntries() {
    static QMap<int, QString> entries;
    return entries;
}

// The "Ports" section: COM number -> device path, as the user wrote it.
// Throws Failure when the settings file cannot be read.
QMap<int, QString> explicitEntries() {
    QMap<int, QString> entries;
    const QList<std::pair<QString, QString>> section =
        SettingsStore::GetAllSettings(SettingsKeys::AppName, SettingsKeys::Ports);
    static const QRegularExpression comKey(QStringLiteral("^COM([1-9][0-9]*)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const auto& [key, value] : section) {
        const auto m = comKey.match(key);
        const QString path = value.trimmed();
        if (m.hasMatch() && !path.isEmpty())
            entries.insert(m.captured(1).toInt(), path);
    }
    entries.insert(runEntries());
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

// Which free COM numbers (ascending) the unclaimed devices take: the k-th
// free number gets the k-th device.
struct Resolution {
    QString path;
    QString description;
};

Resolution resolve(int n) {
    if (n < 1)
        return {};
    QMap<int, QString> entries;
    try {
        entries = explicitEntries();
    } catch (const Failure&) {
        // The user's map is unknown, so any device here might be one they
        // gave another number: none is COMn. Loading the settings says why.
        return {};
    }
    if (entries.contains(n))
        return {entries.value(n), QString()};

    // Explicit entries claim their devices and their numbers.
    QSet<QString> claimed;
    for (const QString& path : entries)
        claimed.insert(deviceIdentity(path));
    const QList<QSerialPortInfo> devices = unclaimedDevices(claimed);
    int k = 0;
    for (int i = 1; i <= n && k < devices.size(); ++i) {
        if (entries.contains(i))
            continue;
        if (i == n) {
            const QSerialPortInfo& p = devices[k];
            return {p.systemLocation(), productName(p)};
        }
        ++k;
    }
    return {};
}

} // namespace

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

QString ComPortMap::devicePath(int n) {
    return resolve(n).path;
}

QString ComPortMap::description(int n) {
    return resolve(n).description;
}

QList<ComPortMap::Entry> ComPortMap::entries() {
    const QMap<int, QString> explicitOnes = explicitEntries();
    QSet<QString> claimed;
    for (const QString& path : explicitOnes)
        claimed.insert(deviceIdentity(path));
    const QList<QSerialPortInfo> devices = unclaimedDevices(claimed);
    QList<Entry> all;
    int n = 1;
    for (const QSerialPortInfo& p : devices) {
        while (explicitOnes.contains(n))
            ++n;
        all.append({n++, p.systemLocation()});
    }
    for (auto it = explicitOnes.begin(); it != explicitOnes.end(); ++it)
        all.append({it.key(), it.value()});
    std::sort(all.begin(), all.end(),
              [](const Entry& a, const Entry& b) { return a.number < b.number; });
    return all;
}

int ComPortMap::numberOf(const QString& path) {
    const QString identity = deviceIdentity(path);
    for (const Entry& e : entries())
        if (deviceIdentity(e.path) == identity)
            return e.number;
    return 0;
}

int ComPortMap::mapForThisRun(const QString& path) {
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
