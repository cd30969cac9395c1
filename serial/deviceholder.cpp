#include "serial/deviceholder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString described(qint64 pid) {
    if (pid <= 0 || pid == ::getpid())
        return {};
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
    return QStringLiteral("%1, PID %2").arg(name, QString::number(pid));
}

// /proc/locks names a locked file as major:minor:inode of the file system
// that holds the device node.
QString flockOwner(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return {};
    auto hex2 = [](unsigned n) { return QString::number(n, 16).rightJustified(2, u'0'); };
    const QString id = QStringLiteral("%1:%2:%3")
                           .arg(hex2(major(st.st_dev)), hex2(minor(st.st_dev)),
                                QString::number(quint64(st.st_ino)));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    // "1: FLOCK  ADVISORY  WRITE 1234 00:05:3 0 EOF"
    static const QRegularExpression line(
        QStringLiteral("^\\d+:\\s+FLOCK\\s+\\S+\\s+\\S+\\s+(-?\\d+)\\s+(\\S+)"));
    // /proc files report no size, so read them to the end rather than by atEnd().
    for (const QByteArray& text : locks.readAll().split('\n')) {
        const auto m = line.match(QString::fromLatin1(text));
        if (m.hasMatch() && m.captured(2) == id)
            if (QString who = described(m.captured(1).toLongLong()); !who.isEmpty())
                return who;
    }
    return {};
}

// The UUCP-style lock files that QSerialPort and others write, named after the device.
QString lockFileOwner(const QString& path) {
    for (const QString& name : {QFileInfo(path).fileName(), QFileInfo(path).canonicalFilePath()}) {
        const QString base = QFileInfo(name).fileName();
        for (const char* dir : {"/run/lock", "/var/lock"}) {
            QFile lock(QStringLiteral("%1/LCK..%2").arg(QLatin1String(dir), base));
            if (!lock.open(QIODevice::ReadOnly))
                continue;
            const QList<QByteArray> words = lock.readLine().simplified().split(' ');
            if (QString who = described(words.value(0).toLongLong()); !who.isEmpty())
                return who;
        }
    }
    return {};
}

QString processWithItOpen(const QString& path) {
    const QString device = QFileInfo(path).canonicalFilePath();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        bool number = false;
        const qint64 id = pid.toLongLong(&number);
        if (!number || id == ::getpid())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        for (const QFileInfo& fd : fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot))
            if (fd.symLinkTarget() == device)
                return described(id);
    }
    return {};
}

} // namespace

QString deviceHolder(int fd, const QString& path) {
    if (QString who = flockOwner(fd); !who.isEmpty())
        return who;
    if (QString who = lockFileOwner(path); !who.isEmpty())
        return who;
    return processWithItOpen(path);
}
