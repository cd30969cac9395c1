// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/regularfile.h"

#include "base/failure.h"
#include "base/filekind.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemReason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

} // namespace

QString regularFileFor(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(native.constData(), &link) != 0) {
        if (errno == ENOENT)
            return path;
        throw Failure(systemReason(errno));
    }
    struct stat target {};
    if (::stat(native.constData(), &target) != 0)
        throw Failure(QStringLiteral("it is a link to %1, which %2")
                          .arg(QFileInfo(path).symLinkTarget(),
                               errno == ENOENT
                                   ? QStringLiteral("does not exist")
                                   : QStringLiteral("cannot be reached: ") + systemReason(errno)));
    if (!S_ISREG(target.st_mode))
        throw Failure(fileKind(target.st_mode));
    return S_ISLNK(link.st_mode) ? QFileInfo(path).canonicalFilePath() : path;
}

int openForAppending(const QString& path) {
    const QString file = regularFileFor(path);
    // O_NOFOLLOW: the link, if any, is already resolved.
    const int fd = ::open(
        QFile::encodeName(file).constData(),
        O_WRONLY | O_APPEND | O_CREAT | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        throw Failure(systemReason(errno));
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        const int err = errno;
        ::close(fd);
        throw Failure(opened.st_mode ? fileKind(opened.st_mode) : systemReason(err));
    }
    // An existing file of ours becomes owner-only too; another's we leave be.
    if (opened.st_uid == ::geteuid())
        ::fchmod(fd, 0600);
    return fd;
}
