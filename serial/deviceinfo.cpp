// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/deviceinfo.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

namespace {

QString hex4(quint16 id) {
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

} // namespace

QString productName(const QSerialPortInfo& port) {
    const QString maker = port.manufacturer();
    const QString product = port.description();
    if (maker.isEmpty() || product.contains(maker))
        return product;
    return product.isEmpty() ? maker : maker + u' ' + product;
}

QString deviceInfo(const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QString device = canonical.isEmpty() ? path : canonical;
    // Pseudo-terminals are never among the devices the system lists, and
    // listing them takes tens of milliseconds.
    if (device.startsWith(u"/dev/pts/"))
        return {};
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        if (p.systemLocation() != device)
            continue;
        QStringList parts;
        const QString product = productName(p);
        if (!product.isEmpty())
            parts << product;
        if (p.hasVendorIdentifier() && p.hasProductIdentifier())
            parts << QStringLiteral("USB %1:%2")
                         .arg(hex4(p.vendorIdentifier()), hex4(p.productIdentifier()));
        if (!p.serialNumber().isEmpty())
            parts << QStringLiteral("serial number %1").arg(p.serialNumber());
        return parts.join(QStringLiteral(", "));
    }
    return {};
}
