#include "settings/settingsstore.h"

#include "base/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// QSettings keeps its own keys of the INI section [General] at the top level
// (and would write a group called General as [%General]), so the section
// General maps to top-level keys: a hand-edited [General] then reads as expected.
QString keyPath(const QString& section, const QString& key) {
    if (section.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0)
        return key;
    return section + u'/' + key;
}

bool isList(const QVariant& v) {
    return v.typeId() == QMetaType::QStringList || v.typeId() == QMetaType::QVariantList;
}

// QSettings reads an unquoted "9600,n,8,1" as a list. Take such a value's
// text straight from the file so it reads back exactly as written.
QString rawValue(const QString& path, const QString& fullKey) {
    const qsizetype slash = fullKey.indexOf(u'/');
    const QString section = slash < 0 ? QStringLiteral("General") : fullKey.left(slash);
    const QString key = slash < 0 ? fullKey : fullKey.mid(slash + 1);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inSection = false;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine()).trimmed();
        if (line.startsWith(u'[')) {
            inSection = line.compare(u'[' + section + u']', Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inSection)
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == key)
            return line.mid(eq + 1).trimmed();
    }
    return {};
}

QString systemReason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// Creates the folder and an empty owner-only file, so that the first write
// never leaves the outputs readable by others even for a moment.
void prepareFile(const QString& path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw Failure(
            QStringLiteral("cannot create the settings folder %1").arg(info.absolutePath()));
    if (info.exists())
        return;
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0 && errno != EEXIST)
        throw Failure(QStringLiteral("cannot create the settings file %1: %2")
                          .arg(path, systemReason(errno)));
    if (fd >= 0)
        ::close(fd);
}

QString writeFailureReason(const QString& path) {
    // Ask the system the same question QSettings asked, to get its reason.
    // The probe is never committed, so the real file stays as it was.
    QSaveFile probe(path);
    if (!probe.open(QIODevice::WriteOnly))
        return probe.errorString();
    probe.cancelWriting();
    return QStringLiteral("the file could not be written (disk full or I/O error)");
}

} // namespace

QString SettingsStore::filePath(const QString& AppName) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + u'/' + AppName + u'/' + AppName + QStringLiteral(".ini");
}

QString SettingsStore::GetSetting(const QString& AppName, const QString& Section,
                                  const QString& Key, const QString& Default) {
    const QString path = filePath(AppName);
    QFileInfo info(path);
    if (info.exists() && !info.isReadable())
        throw Failure(
            QStringLiteral("cannot read the settings file %1: permission denied").arg(path));
    QSettings s(path, QSettings::IniFormat);
    s.sync(); // pick up changes made since this process last looked
    const QVariant v = s.value(keyPath(Section, Key));
    if (!v.isValid())
        return Default;
    if (isList(v))
        return rawValue(path, keyPath(Section, Key));
    return v.toString();
}

void SettingsStore::SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                                const QString& Value) {
    const QString path = filePath(AppName);
    prepareFile(path);
    QSettings s(path, QSettings::IniFormat);
    s.sync();
    // Keep hand-edited values such as Settings=9600,n,8,1 as the text they
    // are; QSettings would write them back as a list.
    for (const QString& k : s.allKeys())
        if (isList(s.value(k)))
            s.setValue(k, rawValue(path, k));
    s.setValue(keyPath(Section, Key), Value);
    s.sync();
    // A FormatError only says the old contents were unreadable; they are
    // replaced by this write.
    if (s.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("cannot save %1 to %2: %3")
                          .arg(keyPath(Section, Key), path, writeFailureReason(path)));
    // The save replaced the file; make sure it stays private to the user.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}
