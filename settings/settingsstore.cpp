// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsstore.h"

#include "settings/settingsfile.h"

#include <QStandardPaths>

QString SettingsStore::filePath(const QString& AppName) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + u'/' + AppName + u'/' + AppName + QStringLiteral(".ini");
}

IniDocument SettingsStore::read(const QString& AppName) {
    return IniDocument(SettingsFile(filePath(AppName)).contents());
}

QString SettingsStore::GetSetting(const QString& AppName, const QString& Section,
                                  const QString& Key, const QString& Default) {
    return read(AppName).value(Section, Key).value_or(Default);
}

QList<std::pair<QString, QString>> SettingsStore::GetAllSettings(const QString& AppName,
                                                                 const QString& Section) {
    return read(AppName).entries(Section);
}

void SettingsStore::SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                                const QString& Value) {
    SaveSettings(AppName, {{Section, Key, Value}});
}

QString SettingsStore::SaveSettings(const QString& AppName, const QList<Entry>& Entries) {
    SettingsFile file(filePath(AppName));
    IniDocument document(file.contents());
    QString note;
    if (!document.isSettings()) {
        // Whatever it was, it is not lost: the save starts afresh beside a copy.
        const QString copy = file.keepCopy(QStringLiteral(".unreadable"));
        note = QStringLiteral("The settings file %1 held no settings; a copy of it is kept as %2")
                   .arg(file.path(), copy);
        document = IniDocument();
    }
    for (const Entry& e : Entries)
        document.setValue(e.section, e.key, e.value);
    const QByteArray contents = document.contents();
    if (!file.exists() || contents != file.contents())
        file.replace(contents);
    return note;
}
