#include "settings/settingsstore.h"

#include "base/failure.h"
#include "base/filekind.h"

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
#include <sys/stat.h>
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

// A stored value as the text it was written as.
QString textOf(const QSettings& s, const QString& file, const QString& fullKey) {
    const QVariant v = s.value(fullKey);
    return isList(v) ? rawValue(file, fullKey) : v.toString();
}

QString systemReason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// The file the settings really live in: the path itself, or where its link
// leads (dotfiles kept in a repository are linked into place). Empty when
// nothing is there yet. Anything else there (a device, a FIFO, a socket, a
// folder, a link that leads nowhere) is refused before it is opened, so that
// reading never blocks and saving never replaces what is not a settings file.
QString settingsFileAt(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(native.constData(), &link) != 0) {
        if (errno == ENOENT)
            return {};
        throw Failure(
            QStringLiteral("cannot use the settings file %1: %2").arg(path, systemReason(errno)));
    }
    struct stat target {};
    if (::stat(native.constData(), &target) != 0)
        throw Failure(QStringLiteral("the settings file %1 is a link to %2, which %3")
                          .arg(path, QFileInfo(path).symLinkTarget(),
                               errno == ENOENT
                                   ? QStringLiteral("does not exist")
                                   : QStringLiteral("cannot be reached: ") + systemReason(errno)));
    if (!S_ISREG(target.st_mode))
        throw Failure(QStringLiteral("the settings file %1 is not a regular file: %2")
                          .arg(path, fileKind(target.st_mode)));
    return S_ISLNK(link.st_mode) ? QFileInfo(path).canonicalFilePath() : path;
}

// Creates the folder and an empty owner-only file, so that the first write
// never leaves the outputs readable by others even for a moment.
void prepareFile(const QString& path) {
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        throw Failure(
            QStringLiteral("cannot create the settings folder %1").arg(info.absolutePath()));
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
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

constexpr QFileDevice::Permissions OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

} // namespace

QString SettingsStore::filePath(const QString& AppName) {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return base + u'/' + AppName + u'/' + AppName + QStringLiteral(".ini");
}

QString SettingsStore::GetSetting(const QString& AppName, const QString& Section,
                                  const QString& Key, const QString& Default) {
    const QString file = settingsFileAt(filePath(AppName));
    if (file.isEmpty())
        return Default;
    if (!QFileInfo(file).isReadable())
        throw Failure(
            QStringLiteral("cannot read the settings file %1: permission denied").arg(file));
    QSettings s(file, QSettings::IniFormat);
    s.sync(); // pick up changes made since this process last looked
    if (!s.contains(keyPath(Section, Key)))
        return Default;
    return textOf(s, file, keyPath(Section, Key));
}

QList<std::pair<QString, QString>> SettingsStore::GetAllSettings(const QString& AppName,
                                                                 const QString& Section) {
    QList<std::pair<QString, QString>> entries;
    const QString file = settingsFileAt(filePath(AppName));
    if (file.isEmpty())
        return entries;
    QSettings s(file, QSettings::IniFormat);
    s.sync();
    s.beginGroup(Section);
    const QStringList keys = s.childKeys();
    s.endGroup();
    for (const QString& key : keys)
        entries.append({key, textOf(s, file, keyPath(Section, key))});
    return entries;
}

void SettingsStore::SaveSetting(const QString& AppName, const QString& Section, const QString& Key,
                                const QString& Value) {
    QString file = settingsFileAt(filePath(AppName));
    if (file.isEmpty()) {
        file = filePath(AppName);
        prepareFile(file);
    }
    // The atomic save's temporary file takes the permissions of the file it
    // replaces from the start, so make those the owner's only first.
    if (QFile::permissions(file) != OwnerOnly)
        QFile::setPermissions(file, OwnerOnly);
    QSettings s(file, QSettings::IniFormat);
    s.sync();
    // Keep hand-edited values such as Settings=9600,n,8,1 as the text they
    // are; QSettings would write them back as a list.
    for (const QString& k : s.allKeys())
        if (isList(s.value(k)))
            s.setValue(k, rawValue(file, k));
    s.setValue(keyPath(Section, Key), Value);
    s.sync();
    // A FormatError only says the old contents were unreadable; they are
    // replaced by this write.
    if (s.status() == QSettings::AccessError)
        throw Failure(QStringLiteral("cannot save %1 to %2: %3")
                          .arg(keyPath(Section, Key), file, writeFailureReason(file)));
    QFile::setPermissions(file, OwnerOnly);
}
