// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/portentries.h"

#include "base/failure.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QRegularExpression>

std::optional<PortEntries> StoredPortEntries::portEntries() const {
    PortEntries entries;
    QList<std::pair<QString, QString>> section;
    try {
        section = SettingsStore::GetAllSettings(SettingsKeys::AppName, SettingsKeys::Ports);
    } catch (const Failure&) {
        return std::nullopt;
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

const PortEntrySource& storedPortEntries() {
    static const StoredPortEntries stored;
    return stored;
}

ComPortMap storedPortMap() {
    return ComPortMap(storedPortEntries().portEntries());
}
