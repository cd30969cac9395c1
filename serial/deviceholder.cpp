// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/deviceholder.h"

#include "serial/deviceidentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QRegularExpression>

#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString described(qint64 pid) {
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    const QString name = QString::fromLocal8Bit(comm.readAll()).trimmed();
    return name + QStringLiteral(", PID ") + QString::number(pid);
}

QByteArray contents(const QString& path) {
    QFile f(path);
    // /proc files report no size, so read them whole rather than by atEnd().
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The owners of the locks held (not waited for) on node, as /proc/locks and
// the "lock:" lines of /proc/PID/fdinfo list them: "1: FLOCK  ADVISORY  WRITE
// 1234 00:05:3 0 EOF", the file named by its file system's device and inode.
QList<qint64> lockOwners(const QByteArray& text, const struct stat& node) {
    static const QRegularExpression line(
        QStringLiteral("^(?:lock:\\s+)?\\d+:\\s+(?:FLOCK|POSIX)\\s+\\S+\\s+\\S+\\s+(-?\\d+)\\s+"
                       "([0-9a-f]+):([0-9a-f]+):(\\d+)\\s"));
    QList<qint64> pids;
    for (const QByteArray& text : text.split('\n')) {
        const auto m = line.match(QString::fromLatin1(text));
        if (m.hasMatch() && m.captured(2).toUInt(nullptr, 16) == major(node.st_dev) &&
            m.captured(3).toUInt(nullptr, 16) == minor(node.st_dev) &&
            m.captured(4).toULongLong() == node.st_ino)
            pids << m.captured(1).toLongLong();
    }
    return pids;
}

enum class Hold { None, Open, Locked, Unknown };

// What process pid does with the device, where this user may look into it
// (another user's descriptors are closed to it: Unknown).
Hold holdOf(qint64 pid, const struct stat& node) {
    const QString fds = QStringLiteral("/proc/%1/fd/").arg(pid);
    DIR* dir = ::opendir(QFile::encodeName(fds).constData());
    if (dir == nullptr)
        return errno == ENOENT ? Hold::None : Hold::Unknown;
    Hold hold = Hold::None;
    while (const dirent* entry = ::readdir(dir)) {
        const QString fd = QString::fromLatin1(entry->d_name);
        struct stat st {};
        // stat follows the descriptor to its file, whatever mount or root it came from.
        if (fd.startsWith(u'.') || ::stat(QFile::encodeName(fds + fd).constData(), &st) != 0 ||
            !sameDevice(st, node))
            continue;
        hold = Hold::Open;
        const QString info = QStringLiteral("/proc/%1/fdinfo/").arg(pid) + fd;
        if (!lockOwners(contents(info), node).isEmpty()) {
            hold = Hold::Locked;
            break;
        }
    }
    ::closedir(dir);
    return hold;
}

// The PIDs in the lock files QSerialPort and UUCP-style programs write: the
// path after /dev/ with '/' turned into '_' ("LCK..pts_0", "LCK.._tmp_board").
QList<qint64> lockFileOwners(const QString& path) {
    QStringList names;
    for (QString name : {path, QFileInfo(path).canonicalFilePath()}) {
        if (name.isEmpty())
            continue;
        if (name.startsWith(QStringLiteral("/dev/")))
            name.remove(0, 5);
        names << QStringLiteral("LCK..") + name.replace(u'/', u'_');
    }
    names.removeDuplicates();
    QList<qint64> pids;
    for (const QString& dir :
         {QStringLiteral("/var/lock"), QStringLiteral("/run/lock"), QStringLiteral("/etc/locks"),
          QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
          QStringLiteral("/tmp"), QDir::tempPath()})
        for (const QString& name : names) {
            const QByteArray first = contents(dir + u'/' + name).split('\n').value(0).trimmed();
            if (const qint64 pid = first.toLongLong(); pid > 0 && !pids.contains(pid))
                pids << pid;
        }
    return pids;
}

} // namespace

QString deviceHolder(int fd, const QString& path) {
    struct stat node {};
    if ((fd >= 0 ? ::fstat(fd, &node) : ::stat(QFile::encodeName(path).constData(), &node)) != 0)
        return {};
    const qint64 self = ::getpid();

    // The lock owners the system lists. A lock outlives its taker in the
    // children it handed the descriptor to, and the taker's PID can be reused,
    // so the owner is checked where this user may look; another user's process
    // is taken at its word, after the checked ones.
    QList<qint64> unchecked;
    for (const qint64 pid : lockOwners(contents(QStringLiteral("/proc/locks")), node)) {
        if (pid == self)
            continue;
        const Hold hold = holdOf(pid, node);
        if (hold == Hold::Unknown)
            unchecked << pid;
        else if (hold != Hold::None)
            if (QString who = described(pid); !who.isEmpty())
                return who;
    }

    // A process that holds a lock on it now through a descriptor it was handed.
    QList<qint64> openers;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (!number || pid == self)
            continue;
        const Hold hold = holdOf(pid, node);
        if (hold == Hold::Locked)
            if (QString who = described(pid); !who.isEmpty())
                return who;
        if (hold == Hold::Open)
            openers << pid;
    }
    for (const qint64 pid : unchecked)
        if (QString who = described(pid); !who.isEmpty())
            return who;

    // A lock file's PID, unless that process plainly does not have the device.
    for (const qint64 pid : lockFileOwners(path))
        if (pid != self && holdOf(pid, node) != Hold::None)
            if (QString who = described(pid); !who.isEmpty())
                return who;

    // Else only a process that is alone in having it open; of several, any
    // one named could be the wrong one.
    return openers.size() == 1 ? described(openers.first()) : QString();
}
