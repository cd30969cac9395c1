// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serialport.h"

#include "base/failure.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <sys/ioctl.h>

// The lines are driven on the descriptor itself: QSerialPort's own calls do
// the same ioctls but report a device without lines only as an unsupported
// operation, without telling it apart from a failing one.

namespace {

QString systemReason(int err) {
    return QString::fromLocal8Bit(std::strerror(err));
}

// What a tty without modem control lines answers to the modem ioctls.
bool noModemLines(int err) {
    return err == ENOTTY || err == EINVAL;
}

} // namespace

void SerialPort::requireOpen() const {
    if (!m_port.isOpen())
        throw Failure(QStringLiteral("%1 is not open").arg(portLabel()));
}

std::optional<ModemLines::States> SerialPort::modemLines() {
    requireOpen();
    int status = 0;
    if (::ioctl(m_port.handle(), TIOCMGET, &status) != 0) {
        const int err = errno;
        if (noModemLines(err))
            return std::nullopt;
        throw Failure(QStringLiteral("cannot read the modem lines of %1: %2")
                          .arg(portLabel(), systemReason(err)));
    }
    return States{(status & TIOCM_DTR) != 0, (status & TIOCM_RTS) != 0};
}

void SerialPort::changeLines(unsigned long request, int lines, const char* what) {
    requireOpen();
    if (::ioctl(m_port.handle(), request, &lines) != 0) {
        const int err = errno;
        throw Failure(QStringLiteral("cannot set %1 on %2: %3")
                          .arg(QLatin1String(what), portLabel(),
                               noModemLines(err) ? QStringLiteral("the device has no such line")
                                                 : systemReason(err)));
    }
}

void SerialPort::setDtr(bool on) {
    changeLines(on ? TIOCMBIS : TIOCMBIC, TIOCM_DTR, "DTR");
}

void SerialPort::setRts(bool on) {
    changeLines(on ? TIOCMBIS : TIOCMBIC, TIOCM_RTS, "RTS");
}

void SerialPort::setBreak(bool on) {
    requireOpen();
    // What was queued before the break goes out before it, unless the device
    // has stopped taking data.
    const QDeadlineTimer limit(1000);
    while (on && m_outgoingBytes > 0 && !limit.hasExpired()) {
        const qint64 before = m_outgoingBytes;
        drainOutgoing(static_cast<int>(std::min<qint64>(100, limit.remainingTime())));
        if (m_outgoingBytes == before)
            break;
    }
    if (::ioctl(m_port.handle(), on ? TIOCSBRK : TIOCCBRK) != 0)
        throw Failure(QStringLiteral("cannot %1 a break on %2: %3")
                          .arg(on ? QStringLiteral("start") : QStringLiteral("end"), portLabel(),
                               systemReason(errno)));
}

void SerialPort::hold(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms));
}
