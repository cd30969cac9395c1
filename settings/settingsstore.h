#pragma once

#include <QList>
#include <QString>

#include <utility>

// The per-user (application, section, key) -> text store, kept in
// $XDG_CONFIG_HOME/<application>/<application>.ini, or where a link there
// leads. Anything there but a regular file (a FIFO, a device, a folder, a
// link that leads nowhere) makes every read and save fail with a description,
// without opening or replacing it.
class SettingsStore {
public:
    // The stored text, or Default when the key or its section is absent.
    // Throws Failure when the file exists but cannot be read.
    static QString GetSetting(const QString& AppName, const QString& Section, const QString& Key,
                              const QString& Default = QString());

    // Every (key, text) of a section, in the file's order.
    static QList<std::pair<QString, QString>> GetAllSettings(const QString& AppName,
                                                             const QString& Section);

    // Writes through to the disk at once; throws Failure with the reason when
    // the file cannot be written. The file is replaced atomically and is
    // readable by its owner only.
    static void SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                            const QString& Value);

    static QString filePath(const QString& AppName);
};
