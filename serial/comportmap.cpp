#include "serial/comportmap.h"

#include "base/failure.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QCollator>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QSerialPortInfo>
#include <QSet>

#include <algorithm>

namespace {

// The "Ports" section: COM number -> device path, as the user wrote it. A
// settings file that cannot be read maps nothing explicitly; reading it
// reports the failure where the settings are loaded.
QMap<int, QString> explicitEntries() {
    QMap<int, QString> entries;
    QList<std::pair<QString, QString>> section;
    try {
        section = SettingsStore::GetAllSettings(SettingsKeys::AppName, SettingsKeys::Ports);
    } catch (const Failure&) {
        return entries;
    }
    static const QRegularExpression comKey(QStringLiteral("^COM([1-9][0-9]*)$"),
                                           QRegularExpression::CaseInsensitiveOption);
    for (const auto& [key, value] : section) {
        const auto m = comKey.match(key);
        const QString path = value.trimmed();
        if (m.hasMatch() && !path.isEmpty())
            entries.insert(m.captured(1).toInt(), path);
    }
    return entries;
}

int groupOf(const QString& path) {
    if (path.startsWith(u"/dev/ttyS"))
        return 0;
    if (path.startsWith(u"/dev/ttyACM"))
        return 1;
    if (path.startsWith(u"/dev/ttyUSB"))
        return 2;
    return 3;
}

// Present devices not named by an explicit entry, in COM order.
// The device a path leads to, so that /dev/serial/by-id/... links and the
// /dev/ttyUSB0 they point at count as the same device.
QString deviceIdentity(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? path : canonical;
}

QList<QSerialPortInfo> unclaimedDevices(const QSet<QString>& claimed) {
    QList<QSerialPortInfo> ports;
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts())
        if (!claimed.contains(deviceIdentity(p.systemLocation())))
            ports.append(p);
    QCollator numeric;
    numeric.setNumericMode(true);
    std::stable_sort(ports.begin(), ports.end(), [&](const auto& a, const auto& b) {
        const int ga = groupOf(a.systemLocation()), gb = groupOf(b.systemLocation());
        if (ga != gb)
            return ga < gb;
        return numeric.compare(a.systemLocation(), b.systemLocation()) < 0;
    });
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
    const QMap<int, QString> entries = explicitEntries();
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
            QString d = p.description();
            if (!p.manufacturer().isEmpty() && !d.contains(p.manufacturer()))
                d = d.isEmpty() ? p.manufacturer() : p.manufacturer() + u' ' + d;
            return {p.systemLocation(), d};
        }
        ++k;
    }
    return {};
}

} // namespace

QString ComPortMap::devicePath(int n) {
    return resolve(n).path;
}

QString ComPortMap::description(int n) {
    return resolve(n).description;
}
