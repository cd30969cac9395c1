// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/capturefile.h"

#include "base/failure.h"
#include "session/regularfile.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <sys/uio.h>
#include <unistd.h>

CaptureFile::CaptureFile(const QString& path, bool raw)
    : m_path(path), m_raw(raw), m_fd(openForAppending(path)) {}

CaptureFile::~CaptureFile() {
    try {
        write();
    } catch (const Failure&) {
    }
    ::close(m_fd);
}

void CaptureFile::add(const QByteArray& bytes) {
    if (!bytes.isEmpty())
        m_pending.append(bytes);
}

void CaptureFile::write() {
    qsizetype next = 0;    // the first array not yet written whole
    qsizetype written = 0; // of it, the bytes written
    while (next < m_pending.size()) {
        std::array<iovec, 64> parts;
        std::size_t count = 0;
        for (qsizetype i = next; i < m_pending.size() && count < parts.size(); ++i, ++count) {
            const qsizetype skip = i == next ? written : 0;
            parts[count] = {const_cast<char*>(m_pending[i].constData()) + skip,
                            static_cast<size_t>(m_pending[i].size() - skip)};
        }
        ssize_t n = ::writev(m_fd, parts.data(), static_cast<int>(count));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            m_pending.clear();
            throw Failure(QString::fromLocal8Bit(std::strerror(err)));
        }
        while (n > 0) {
            const qsizetype rest = m_pending[next].size() - written;
            if (n < rest) {
                written += n;
                break;
            }
            n -= rest;
            ++next;
            written = 0;
        }
    }
    m_pending.clear();
}
