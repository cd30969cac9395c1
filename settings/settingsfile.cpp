// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingsfile.h"

#include "base/failure.h"
#include "base/filekind.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int MaxLinks = 16;
// A settings file is small; a link that leads to something huge is a mistake.
constexpr qint64 MaxSize = qint64(64) << 20;

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

QString writeReason(int err) {
    if (err == ENOSPC)
        return QStringLiteral("no space left on the device (disk full)");
    if (err == EDQUOT)
        return QStringLiteral("the disk quota is used up (disk full)");
    return reason(err);
}

QString userName(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid))
        return QString::fromLocal8Bit(pw->pw_name);
    return QStringLiteral("uid ") + QString::number(uid);
}

// Folder and name of a path as the system sees it.
std::pair<QByteArray, QByteArray> split(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return {QByteArrayLiteral("."), path};
    return {slash == 0 ? QByteArrayLiteral("/") : path.left(slash), path.mid(slash + 1)};
}

QByteArray linkText(int fd) {
    QByteArray text(256, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::readlinkat(fd, "", text.data(), text.size());
        if (n < 0)
            return {};
        if (n < text.size())
            return text.left(n);
        text.resize(text.size() * 2);
    }
}

Failure cannotUse(const QString& path, int err) {
    return Failure(QStringLiteral("cannot use the settings file %1: %2").arg(path, reason(err)));
}

Failure notRegular(const QString& path, mode_t mode) {
    return Failure(
        QStringLiteral("the settings file %1 is not a regular file: %2").arg(path, fileKind(mode)));
}

Failure cannotSave(const QString& path, int err) {
    return Failure(
        QStringLiteral("cannot save the settings to %1: %2").arg(path, writeReason(err)));
}

// Writes every byte; 0, or the errno of the write that failed.
int writeAll(int fd, const QByteArray& data) {
    const char* p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        p += n;
        left -= n;
    }
    return 0;
}

QByteArray readAll(int fd, const QString& path) {
    QByteArray contents;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw Failure(
                QStringLiteral("cannot read the settings file %1: %2").arg(path, reason(errno)));
        if (n == 0)
            return contents;
        if (contents.size() + n > MaxSize)
            throw Failure(QStringLiteral("the settings file %1 is larger than %2 MiB, too large "
                                         "to be a settings file")
                              .arg(path, QString::number(MaxSize >> 20)));
        contents.append(chunk, n);
    }
}

// Creates the missing folders of a path, each the user's alone whatever the
// umask, and opens the last.
UniqueFd makeFolders(const QByteArray& folder) {
    const QString shown = QFile::decodeName(folder);
    for (qsizetype i = 1; i <= folder.size(); ++i) {
        if (i < folder.size() && folder[i] != '/')
            continue;
        const QByteArray prefix = folder.left(i);
        if (::mkdir(prefix.constData(), 0700) == 0)
            ::chmod(prefix.constData(), 0700); // the umask may have taken the owner's bits
        else if (errno != EEXIST)
            throw Failure(QStringLiteral("cannot create the settings folder %1: %2")
                              .arg(shown, reason(errno)));
    }
    UniqueFd dir(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        throw Failure(QStringLiteral("cannot create the settings folder %1: %2")
                          .arg(shown, errno == ENOTDIR ? QStringLiteral("it is not a folder")
                                                       : reason(errno)));
    return dir;
}

// A new owner-only file in a folder, never one that is there already.
UniqueFd createNew(int folder, const QByteArray& name) {
    UniqueFd fd(::openat(folder, name.constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.valid())
        ::fchmod(fd.get(), 0600); // 0600 even under a umask that takes the owner's bits
    return fd;
}

} // namespace

SettingsFile::SettingsFile(QString path) : m_path(std::move(path)) {
    auto [folder, name] = split(QFile::encodeName(m_path));
    UniqueFd dir(::open(folder.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) {
        if (errno == ENOENT)
            return;
        if (errno == ENOTDIR)
            throw Failure(QStringLiteral("the settings folder %1 is not a folder")
                              .arg(QFile::decodeName(folder)));
        throw cannotUse(m_path, errno);
    }
    QString via; // the text of the last link followed, for messages
    auto linkFailure = [&](int err) {
        return Failure(QStringLiteral("the settings file %1 is a link to %2, which %3")
                           .arg(m_path, via,
                                err == ENOENT
                                    ? QStringLiteral("does not exist")
                                    : QStringLiteral("cannot be reached: ") + reason(err)));
    };
    for (int links = 0;; ++links) {
        // O_PATH opens nothing: a FIFO or a device is looked at, not opened.
        UniqueFd node(::openat(dir.get(), name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!node.valid()) {
            if (links > 0)
                throw linkFailure(errno);
            if (errno != ENOENT)
                throw cannotUse(m_path, errno);
            m_folder = std::move(dir);
            m_name = name;
            return;
        }
        struct stat st {};
        if (::fstat(node.get(), &st) != 0)
            throw cannotUse(m_path, errno);
        if (S_ISLNK(st.st_mode)) {
            if (st.st_uid != ::geteuid() && st.st_uid != 0)
                throw Failure(QStringLiteral("the settings file %1 is a link owned by another "
                                             "user (%2), which is not followed")
                                  .arg(m_path, userName(st.st_uid)));
            if (links == MaxLinks)
                throw cannotUse(m_path, ELOOP);
            const QByteArray target = linkText(node.get());
            if (target.isEmpty())
                throw cannotUse(m_path, errno);
            via = QFile::decodeName(target);
            auto [to, toName] = split(target);
            UniqueFd next(::openat(dir.get(), to.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
            if (!next.valid())
                throw linkFailure(errno);
            dir = std::move(next);
            name = toName;
            continue;
        }
        if (!S_ISREG(st.st_mode))
            throw notRegular(m_path, st.st_mode);
        // Read through a descriptor that is the file just checked; should it
        // have been swapped since, what is there now is refused, not read.
        UniqueFd in(::openat(dir.get(), name.constData(),
                             O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
        if (!in.valid())
            throw Failure(
                QStringLiteral("cannot read the settings file %1: %2").arg(m_path, reason(errno)));
        struct stat opened {};
        if (::fstat(in.get(), &opened) != 0)
            throw cannotUse(m_path, errno);
        if (!S_ISREG(opened.st_mode))
            throw notRegular(m_path, opened.st_mode);
        if (opened.st_dev != st.st_dev || opened.st_ino != st.st_ino)
            throw Failure(QStringLiteral("the settings file %1 was replaced while it was being "
                                         "read; try again")
                              .arg(m_path));
        m_contents = readAll(in.get(), m_path);
        m_exists = true;
        m_folder = std::move(dir);
        m_name = name;
        return;
    }
}

void SettingsFile::replace(const QByteArray& contents) {
    if (!m_folder.valid()) {
        auto [folder, name] = split(QFile::encodeName(m_path));
        m_folder = makeFolders(folder);
        m_name = name;
    }
    UniqueFd tmp;
    QByteArray tmpName;
    for (int attempt = 0; !tmp.valid(); ++attempt) {
        tmpName = '.' + m_name + '.' +
                  QByteArray::number(QRandomGenerator::global()->generate(), 16) + ".tmp";
        tmp = createNew(m_folder.get(), tmpName);
        if (!tmp.valid() && (errno != EEXIST || attempt == 100))
            throw cannotSave(m_path, errno);
    }
    try {
        if (const int err = writeAll(tmp.get(), contents))
            throw cannotSave(m_path, err);
        if (::fsync(tmp.get()) != 0)
            throw cannotSave(m_path, errno);
        if (::close(tmp.release()) != 0)
            throw cannotSave(m_path, errno);
        // What was put in the file's place since it was read is not replaced.
        struct stat now {};
        if (::fstatat(m_folder.get(), m_name.constData(), &now, AT_SYMLINK_NOFOLLOW) == 0 &&
            !S_ISREG(now.st_mode))
            throw notRegular(m_path, now.st_mode);
        if (::renameat(m_folder.get(), tmpName.constData(), m_folder.get(), m_name.constData()) !=
            0)
            throw cannotSave(m_path, errno);
    } catch (...) {
        ::unlinkat(m_folder.get(), tmpName.constData(), 0);
        throw;
    }
    // Make the rename itself durable; the new contents are in place already,
    // so a folder that cannot be synced is no reason to report a failure.
    UniqueFd folder(::openat(m_folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.valid())
        ::fsync(folder.get());
    m_exists = true;
    m_contents = contents;
}

QString SettingsFile::keepCopy(const QString& suffix) const {
    auto [folderPath, name] = split(QFile::encodeName(m_path));
    UniqueFd folder(::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    QString copy;
    QByteArray copyName;
    UniqueFd fd;
    int err = folder.valid() ? 0 : errno;
    for (int n = 1; !err && !fd.valid(); ++n) {
        const QString tail = suffix + (n > 1 ? u'.' + QString::number(n) : QString());
        copy = m_path + tail;
        copyName = name + QFile::encodeName(tail);
        fd = createNew(folder.get(), copyName);
        if (!fd.valid() && (errno != EEXIST || n == 100))
            err = errno;
    }
    const bool created = fd.valid();
    if (!err)
        err = writeAll(fd.get(), m_contents);
    if (!err && ::fsync(fd.get()) != 0)
        err = errno;
    if (!err && ::close(fd.release()) != 0)
        err = errno;
    if (err) {
        if (created)
            ::unlinkat(folder.get(), copyName.constData(), 0);
        throw Failure(QStringLiteral("cannot keep a copy of the settings file as %1: %2")
                          .arg(copy.isEmpty() ? m_path + suffix : copy, writeReason(err)));
    }
    return copy;
}
