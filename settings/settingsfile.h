// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/uniquefd.h"

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The settings file at a path, found and read through the one descriptor that
// was checked: opening never blocks, and a link is followed only when the user
// (or root) owns it and it leads, maybe through more such links, to a regular
// file. Anything else there is refused without being read or replaced.
class SettingsFile {
public:
    // Finds and reads the file. An absent file (or folder) is no failure;
    // anything that cannot be read as a regular file throws Failure.
    explicit SettingsFile(QString path);

    bool exists() const { return m_exists; }
    const QByteArray& contents() const { return m_contents; }
    const QString& path() const { return m_path; }

    // Replaces the file with these contents atomically: a temporary file beside
    // the real one (through a link, beside its target), every byte written and
    // synced, then renamed over it, owner-only. A missing file is created, and
    // missing folders 0700. Throws Failure and leaves the file as it was when
    // any step fails.
    void replace(const QByteArray& contents);

    // Keeps what was read in a new owner-only file beside the settings path,
    // named after it with the suffix (then ".2", ".3" ... if taken), and
    // returns that file's path. Throws Failure when it cannot be written whole.
    QString keepCopy(const QString& suffix) const;

private:
    QString m_path;
    bool m_exists = false;
    QByteArray m_contents;
    UniqueFd m_folder; // the folder the real file is in, when it exists
    QByteArray m_name; // the real file's name there
};
