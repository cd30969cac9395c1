// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/inidocument.h"

#include <QList>
#include <QString>

#include <utility>

// The per-user (application, section, key) -> text store, kept in
// $XDG_CONFIG_HOME/<application>/<application>.ini, or where a link there
// leads. Anything there but a regular file (a FIFO, a device, a folder, a
// link that leads nowhere or that another user owns) makes every read and
// save fail with a description, without opening or replacing it.
class SettingsStore {
public:
    struct Entry {
        QString section;
        QString key;
        QString value;
    };

    // The stored text, or Default when the key or its section is absent.
    // Throws Failure when the file exists but cannot be read.
    static QString GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                              const QString& Default = QString());

    // Every (key, text) of a section, in the file's order.
    static QList<std::pair<QString, QString>> GetAllSettings(const QString& AppName,
                                                             const QString& Section);

    // The whole store as read at one moment. Throws Failure as GetSetting does.
    static IniDocument read(const QString& AppName);

    // Writes through to the disk at once; throws Failure with the reason when
    // the file cannot be written, and then leaves it as it was. Only the
    // keys saved change: everything else in the file stays byte for byte.
    // The file is replaced atomically and is readable by its owner only.
    static void SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                            const QString& Value);

    // Saves several keys in one replacement of the file, all or none. A file
    // that held no settings at all is kept beside it as <file>.unreadable
    // first; the result then says so, for the user. Otherwise it is empty.
    static QString SaveSettings(const QString& AppName, const QList<Entry>& Entries);

    static QString filePath(const QString& AppName);
};
