// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testenv.h"

#include "settings/settingsstore.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

TestEnv::TestEnv() {
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.path()));
    QStandardPaths::setTestModeEnabled(false);
}

QString TestEnv::settingsFile() const {
    return SettingsStore::filePath(QStringLiteral("Brovik"));
}

void TestEnv::mapPort(int n, const QString& device) const {
    SettingsStore::SaveSetting(QStringLiteral("Brovik"), QStringLiteral("Ports"),
                               QStringLiteral("COM%1").arg(n), device);
}

void TestEnv::writeSettingsFile(const QByteArray& contents) const {
    QDir().mkpath(QFileInfo(settingsFile()).absolutePath());
    QFile f(settingsFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the test settings file");
    f.write(contents);
}

QByteArray TestEnv::readSettingsFile() const {
    QFile f(settingsFile());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void TestEnv::clear() const {
    QFile::remove(settingsFile());
}
