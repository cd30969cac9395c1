// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

// Gives a test program its own settings folder ($XDG_CONFIG_HOME) so that it
// never reads or writes the user's settings. Construct before the first use
// of the settings store.
class TestEnv {
public:
    TestEnv();
    QString configHome() const { return m_dir.path(); }
    QString settingsFile() const;
    // Maps COMn to a device path in the "Ports" section.
    void mapPort(int n, const QString& device) const;
    // Writes the settings file with exactly this text.
    void writeSettingsFile(const QByteArray& contents) const;
    QByteArray readSettingsFile() const;
    // Removes the settings file and every mapping.
    void clear() const;

private:
    QTemporaryDir m_dir;
};
