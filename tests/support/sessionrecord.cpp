// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/sessionrecord.h"

#include "base/logprefix.h"
#include "session/terminal.h"

SessionRecord::SessionRecord(Terminal& terminal) {
    connect(&terminal, &Terminal::logEntry, this, [this](const QString& Data, LogCategory Cat) {
        entries.append({Cat, Data});
    });
    connect(&terminal, &Terminal::logBytes, this, [this](const QByteArray& Data, LogCategory Cat) {
        entries.append({Cat, QString::fromLatin1(Data)});
    });
    connect(&terminal, &Terminal::statusChanged, this,
            [this](const QString& status) { statuses.append(status); });
}

QString SessionRecord::logText() const {
    QString text;
    for (const auto& [cat, data] : entries)
        text += logPrefix(cat) + data + QStringLiteral("\r\n");
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

QStringList SessionRecord::errors() const {
    QStringList out;
    for (const QString& line : logText().split(u'\n'))
        if (line.startsWith(QStringLiteral("Err: ")))
            out << line;
    return out;
}

qint64 SessionRecord::characters(LogCategory Cat) const {
    qint64 n = 0;
    for (const auto& [cat, data] : entries)
        if (cat == Cat)
            n += data.size();
    return n;
}

void SessionRecord::clear() {
    entries.clear();
    statuses.clear();
}
