// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/capturefile.h"

#include "base/failure.h"
#include "session/regularfile.h"

#include <cerrno>
#include <cstring>
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

void CaptureFile::write() {
    const char* data = m_pending.constData();
    qsizetype left = m_pending.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, data, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int err = n < 0 ? errno : ENOSPC;
            m_pending.clear();
            throw Failure(QString::fromLocal8Bit(std::strerror(err)));
        }
        data += n;
        left -= n;
    }
    m_pending.clear();
}
