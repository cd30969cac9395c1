// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/portlisting.h"

#include "serial/comportmap.h"
#include "serial/deviceinfo.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {

using Row = std::array<QString, 4>;

Row rowFor(const ComPortMap::Entry& entry, const QList<QSerialPortInfo>& present) {
    const QString com = QStringLiteral("COM%1").arg(entry.number);
    if (!QFileInfo::exists(entry.path))
        return {com, entry.path, QStringLiteral("(not present)"), QStringLiteral("-")};
    const QString canonical = QFileInfo(entry.path).canonicalFilePath();
    for (const QSerialPortInfo& p : present) {
        if (p.systemLocation() != canonical)
            continue;
        const QString product = productName(p);
        return {com, entry.path, product.isEmpty() ? QStringLiteral("-") : product,
                p.serialNumber().isEmpty() ? QStringLiteral("-") : p.serialNumber()};
    }
    return {com, entry.path, QStringLiteral("-"), QStringLiteral("-")};
}

} // namespace

QString comPortListing(const ComPortMap& map) {
    if (!map.known())
        return QStringLiteral("No serial ports: the [Ports] section of the settings file, which "
                              "says which device each COM number is, could not be read.\n");
    const QList<ComPortMap::Entry> entries = map.entries();
    if (entries.isEmpty())
        return QStringLiteral("No serial ports: plug in a board, or map a device in the [Ports] "
                              "section of the settings file.\n");
    const QList<QSerialPortInfo> present = QSerialPortInfo::availablePorts();
    QList<Row> rows = {{QStringLiteral("COM"), QStringLiteral("Device"),
                        QStringLiteral("USB product"), QStringLiteral("Serial number")}};
    for (const ComPortMap::Entry& e : entries)
        rows.append(rowFor(e, present));
    std::array<qsizetype, 4> width{};
    for (const Row& r : rows)
        for (size_t c = 0; c < r.size(); ++c)
            width[c] = std::max(width[c], r[c].size());
    QString text;
    for (const Row& r : rows) {
        QString line;
        for (size_t c = 0; c + 1 < r.size(); ++c)
            line += r[c].leftJustified(width[c] + 2);
        text += line + r.back() + u'\n';
    }
    return text;
}
