// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/filereading.h"

#include "base/failure.h"
#include "base/filekind.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString reason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// What the file may take: a third of the memory available, so that holding
// it (once, until the device has taken it) never starves the rest.
qint64 memoryBudget() {
    // MemAvailable counts the cache the kernel would give back; free pages alone
    // would refuse files far smaller than the memory really at hand.
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (meminfo.open(QIODevice::ReadOnly | QIODevice::Text)) {
        while (!meminfo.atEnd()) {
            const QByteArray line = meminfo.readLine();
            if (line.startsWith("MemAvailable:")) {
                bool ok = false;
                const qint64 kib = line.mid(13).trimmed().split(' ').value(0).toLongLong(&ok);
                if (ok && kib > 0)
                    return kib * 1024 / 3;
            }
        }
    }
    const long pages = ::sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return qint64(1) << 30;
    return qint64(pages) * pageSize / 3;
}

// Fresh memory costs a fault for every page touched; in huge pages a large
// file takes a few hundred times fewer.
void preferHugePages(char* data, qsizetype size) {
    constexpr quintptr Huge = 2 << 20;
    const quintptr first = (reinterpret_cast<quintptr>(data) + Huge - 1) & ~(Huge - 1);
    const quintptr last = (reinterpret_cast<quintptr>(data) + quintptr(size)) & ~(Huge - 1);
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

} // namespace

QByteArray readWholeFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        throw Failure(QStringLiteral("cannot open %1: %2").arg(path, reason(errno)));
    if (!S_ISREG(st.st_mode))
        throw Failure(QStringLiteral("cannot send %1: %2").arg(path, fileKind(st.st_mode)));

    // Non-blocking, in case the path was swapped for a FIFO since the check.
    const int fd = ::open(native.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throw Failure(QStringLiteral("cannot open %1: %2").arg(path, reason(errno)));
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(QStringLiteral("cannot open %1: %2").arg(path, file.errorString()));
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode))
        throw Failure(QStringLiteral("cannot send %1: %2").arg(path, fileKind(opened.st_mode)));

    const qint64 budget = memoryBudget();
    if (opened.st_size > budget)
        throw Failure(
            QStringLiteral("cannot send %1: the file is too large (%2 bytes) for the "
                           "memory available (%3 bytes)")
                .arg(path, QString::number(qint64(opened.st_size)), QString::number(budget)));
    try {
        // Straight into the one array that is sent, read to the end rather
        // than trusting the size: files such as those in /proc report 0 bytes
        // and still have contents.
        QByteArray contents(static_cast<qsizetype>(opened.st_size), Qt::Uninitialized);
        preferHugePages(contents.data(), contents.size());
        qsizetype used = 0;
        char chunk[65536];
        for (;;) {
            const bool full = used == contents.size();
            const qint64 n = full ? file.read(chunk, sizeof chunk)
                                  : file.read(contents.data() + used, contents.size() - used);
            if (n < 0)
                throw Failure(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
            if (n == 0)
                break;
            if (used + n > budget)
                throw Failure(QStringLiteral("cannot send %1: the file is too large for the "
                                             "memory available (%2 bytes)")
                                  .arg(path, QString::number(budget)));
            if (full)
                contents.append(chunk, n);
            used += n;
        }
        contents.truncate(used);
        return contents;
    } catch (const std::bad_alloc&) {
        throw Failure(
            QStringLiteral("cannot send %1: not enough memory to hold the file").arg(path));
    }
}
