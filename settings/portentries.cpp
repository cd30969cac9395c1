// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/portentries.h"

#include "base/failure.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

namespace {

// n for a key "COMn" in any case, n from 1 on without leading zeros; else 0.
// Read by hand: a regular expression would cost the start-up its compiler.
int comNumber(const QString& key) {
    if (key.size() < 4 || key.size() > 8 || !key.startsWith(u"COM", Qt::CaseInsensitive) ||
        key[3] == u'0')
        return 0;
    int n = 0;
    for (qsizetype i = 3; i < key.size(); ++i) {
        if (key[i] < u'0' || key[i] > u'9')
            return 0;
        n = n * 10 + (key[i].unicode() - u'0');
    }
    return n;
}

} // namespace

std::optional<PortEntries> StoredPortEntries::portEntries() const {
    PortEntries entries;
    QList<std::pair<QString, QString>> section;
    try {
        section = SettingsStore::GetAllSettings(SettingsKeys::AppName, SettingsKeys::Ports);
    } catch (const Failure&) {
        return std::nullopt;
    }
    for (const auto& [key, value] : section) {
        const int n = comNumber(key);
        const QString path = value.trimmed();
        if (n > 0 && !path.isEmpty())
            entries.insert(n, path);
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
