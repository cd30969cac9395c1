// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ptydevice.h"

#include <QElapsedTimer>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyDevice::PtyDevice() {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        qFatal("openpty failed: %s", strerror(errno));
    // Raw on both sides, so every byte value passes untouched.
    termios t{};
    ::tcgetattr(m_slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_slave, TCSANOW, &t);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_path = QString::fromLocal8Bit(name);
}

PtyDevice::~PtyDevice() {
    hangUp();
}

void PtyDevice::hangUp() {
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

void PtyDevice::write(const QByteArray& bytes) {
    qsizetype done = 0;
    QElapsedTimer t;
    t.start();
    while (done < bytes.size() && t.elapsed() < 10000) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, bytes.size() - done);
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            qFatal("pty write failed: %s", strerror(errno));
        } else {
            // The program reads from its event loop: keep it turning.
            QTest::qWait(2);
        }
    }
}

QByteArray PtyDevice::readAvailable() {
    QByteArray out;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

QByteArray PtyDevice::read(int atLeast, int timeoutMs) {
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.size() < atLeast && t.elapsed() < timeoutMs) {
        out += readAvailable();
        if (out.size() >= atLeast)
            break;
        // Let the program's event loop hand its queued bytes to the device.
        QTest::qWait(5);
    }
    return out;
}
