// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/serialport.h"

#include "base/failure.h"
#include "serial/deviceholder.h"
#include "serial/permissionadvice.h"
#include "serial/textbytes.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

// How long a close waits for a device that takes no data at all.
constexpr int FlushStallMs = 1000;
// How long a close waits in all before it gives up on a slow device.
constexpr int FlushLimitMs = 10000;
// How long handing queued bytes to the device may hold the event loop at a
// time: a fast device is fed without a loop turn per buffer-full, and the
// window still answers at once.
constexpr int WriteBurstMs = 8;
// The most a read gathers between two receive ticks. Beyond it the bytes wait
// in the driver, where a device's flow control holds back the rest, so a
// flood costs no more memory than this; two ticks a second still take 20 MiB/s.
constexpr qint64 ReceiveLimit = 10 << 20;
// QSerialPort's own buffer only passes bytes on.
constexpr qint64 ReadChunk = 64 << 10;

Failure inUse(const QString& where, const QString& holder) {
    return Failure(
        QStringLiteral("cannot open %1: the device is in use by another program%2")
            .arg(where, holder.isEmpty() ? QString() : QStringLiteral(" (") + holder + u')'));
}

Failure permissionDenied(const QString& where, const QString& path) {
    return Failure(
        QStringLiteral("cannot open %1: permission denied; %2").arg(where, permissionAdvice(path)));
}

Failure notPresent(const QString& where) {
    return Failure(QStringLiteral("%1 is not present: no such device").arg(where));
}

} // namespace

SerialPort::SerialPort(const PortEntrySource& ports, QObject* parent)
    : QObject(parent), m_ports(ports) {
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPort::onError);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPort::takeArrived);
    m_port.setReadBufferSize(ReadChunk);
}

SerialPort::~SerialPort() {
    if (m_port.isOpen())
        flushAndClose();
}

QString SerialPort::portLabel() const {
    const QString path = m_port.isOpen() ? m_openPath : portMap().devicePath(m_commPort);
    if (path.isEmpty())
        return QStringLiteral("COM%1").arg(m_commPort);
    return QStringLiteral("COM%1 (%2)").arg(QString::number(m_commPort), path);
}

void SerialPort::requireClosed(const char* what) const {
    if (m_port.isOpen())
        throw Failure(QStringLiteral("cannot change the %1 of COM%2 while it is open")
                          .arg(QLatin1String(what), QString::number(m_commPort)));
}

void SerialPort::setCommPort(int n) {
    requireClosed("port number");
    if (n < 1 || n > 32767)
        throw Failure(QStringLiteral("invalid port number %1 (use 1 or more)").arg(n));
    m_commPort = n;
}

void SerialPort::setSettings(const QString& settings) {
    requireClosed("settings");
    m_lineSettings = LineSettings::parse(settings); // throws, keeping the old value
}

void SerialPort::setHandshaking(int code) {
    requireClosed("flow control");
    if (code < 0 || code > 3)
        throw Failure(QStringLiteral("invalid flow control %1 (use 0 none, 1 XON/XOFF, 2 RTS/CTS "
                                     "or 3 both)")
                          .arg(code));
    m_handshaking = code;
}

void SerialPort::setInputLen(int len) {
    if (len < 0)
        throw Failure(QStringLiteral("invalid input length %1").arg(len));
    m_inputLen = len;
}

void SerialPort::setPortOpen(bool open) {
    // The user's own open or close ends any wait for a lost device.
    m_awaitedPath.clear();
    m_reclaiming = false;
    m_releasedPath.clear();
    if (open) {
        if (!m_port.isOpen())
            this->open(portMap().devicePath(m_commPort));
        return;
    }
    if (!m_port.isOpen())
        return;
    const qint64 lost = flushAndClose();
    if (lost > 0)
        throw Failure(QStringLiteral("%1 closed with %2 bytes unsent: the device took no more data")
                          .arg(portLabel(), QString::number(lost)));
}

void SerialPort::open(const QString& path) {
    const QString label = QStringLiteral("COM%1").arg(m_commPort);
    if (path.isEmpty())
        throw Failure(
            QStringLiteral("%1 is not present: no serial device is mapped to it").arg(label));
    const QString where = QStringLiteral("%1 (%2)").arg(label, path);
    if (!QFileInfo::exists(path))
        throw notPresent(where);

    const LineSettings& ls = m_lineSettings;
    lockDevice(path, where);
    m_port.setPortName(path);
    m_port.setBaudRate(ls.baud);
    m_port.setParity(ls.parity);
    m_port.setDataBits(ls.dataBits);
    m_port.setStopBits(ls.stopBits);
    m_port.setFlowControl(m_handshaking == 1   ? QSerialPort::SoftwareControl
                          : m_handshaking >= 2 ? QSerialPort::HardwareControl
                                               : QSerialPort::NoFlowControl);

    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        const QString reason = m_port.errorString();
        m_port.clearError();
        releaseDeviceLock();
        if (error == QSerialPort::DeviceNotFoundError)
            throw notPresent(where);
        if (error == QSerialPort::PermissionError) {
            // Qt reports a held lock and a refused permission alike.
            if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES)
                throw permissionDenied(where, path);
            throw inUse(where, deviceHolder(-1, path));
        }
        throw Failure(QStringLiteral("cannot open %1: %2").arg(where, reason));
    }

    if (m_handshaking == 3) {
        // QSerialPort knows one kind of flow control at a time; add XON/XOFF.
        termios t{};
        if (::tcgetattr(m_port.handle(), &t) != 0 ||
            (t.c_iflag |= IXON | IXOFF, ::tcsetattr(m_port.handle(), TCSANOW, &t) != 0)) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            m_port.close();
            releaseDeviceLock();
            throw Failure(QStringLiteral("cannot set XON/XOFF flow control on %1 (%2): %3")
                              .arg(label, path, reason));
        }
    }
    m_writable = std::make_unique<QSocketNotifier>(m_port.handle(), QSocketNotifier::Write);
    m_writable->setEnabled(false);
    connect(m_writable.get(), &QSocketNotifier::activated, this,
            [this] { drainOutgoing(WriteBurstMs); });
    // A loss not yet reported stays pending: the next tick still tells of it.
    m_openPath = path;
    m_openIdentity = DeviceIdentity::of(path, m_port.handle());
    try {
        applyLinesOnOpen(*this, m_linesOnOpen, m_handshaking);
    } catch (const Failure&) {
        flushAndClose();
        throw;
    }
}

// Our own hold on the device, taken before QSerialPort touches it, so that a
// refused opener never changes the device (QSerialPort's close would clear the
// holder's exclusive mode). An flock locks the device itself, whatever path
// reached it, and root does not pass it; root does pass the exclusive mode
// others set, so that is asked for explicitly.
void SerialPort::lockDevice(const QString& path, const QString& where) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int err = errno;
        if (err == EBUSY)
            throw inUse(where, deviceHolder(-1, path));
        if (err == EACCES)
            throw permissionDenied(where, path);
        if (err == ENOENT || err == ENXIO || err == ENODEV)
            throw notPresent(where);
        throw Failure(QStringLiteral("cannot open %1: %2")
                          .arg(where, QString::fromLocal8Bit(std::strerror(err))));
    }
    int exclusive = 0;
    const bool held = (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) ||
                      (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK);
    if (held) {
        const QString holder = deviceHolder(fd, path);
        ::close(fd);
        throw inUse(where, holder);
    }
    m_lockFd = fd;
}

void SerialPort::releaseDeviceLock() {
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    m_lockFd = -1;
}

void SerialPort::checkAlive() {
    if (!m_port.isOpen())
        return;
    pollfd p{m_port.handle(), 0, 0};
    const bool hungUp = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
    const bool gone = !QFileInfo::exists(m_openPath);
    if (!hungUp && !gone)
        return;
    m_lossReport = QStringLiteral("COM%1 (%2) was disconnected: %3")
                       .arg(QString::number(m_commPort), m_openPath,
                            gone ? QStringLiteral("the device was removed")
                                 : QStringLiteral("the device hung up"));
    takeArrived();
    m_unreadAfterLoss += std::exchange(m_received, QByteArray());
    m_unreadAfterLoss += m_port.readAll();
    m_awaitedPath = m_openPath;
    m_reclaiming = false;
    m_awaited = m_openIdentity;
    const qint64 unsent = m_outgoingBytes;
    if (unsent > 0)
        m_lossReport += QStringLiteral(" (%1 bytes were not sent)").arg(unsent);
    dropOutgoing();
    closeDevice();
}

void SerialPort::onError(QSerialPort::SerialPortError error) {
    // A vanished tty can keep signalling readable; close it before it spins.
    if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
        error == QSerialPort::WriteError)
        checkAlive();
}

bool SerialPort::reopenAwaitedDevice() {
    // Only the device that was open: not whatever its path leads to later.
    const auto awaited = [this](const DeviceIdentity& now) {
        return m_awaited.isBackAs(now) || (m_reclaiming && m_awaited.isStill(now));
    };
    if (m_awaitedPath.isEmpty() || m_port.isOpen() || !awaited(DeviceIdentity::of(m_awaitedPath)))
        return false;
    try {
        open(m_awaitedPath);
    } catch (const Failure&) {
        return false; // back but not ours yet (held, or its permissions not set): keep waiting
    }
    if (!awaited(m_openIdentity)) {
        flushAndClose(); // the path moved on between the look and the open
        return false;
    }
    m_awaitedPath.clear();
    m_reclaiming = false;
    return true;
}

QString SerialPort::takeLossReport() {
    return std::exchange(m_lossReport, QString());
}

QString SerialPort::takeUnreadAfterLoss() {
    return fromWireBytes(std::exchange(m_unreadAfterLoss, QByteArray()));
}

int SerialPort::InBufferCount() const {
    if (!m_port.isOpen())
        return 0;
    const qint64 n = m_received.size() + m_port.bytesAvailable();
    return static_cast<int>(std::min<qint64>(n, 32767));
}

QString SerialPort::Input() {
    return fromWireBytes(InputBytes());
}

QByteArray SerialPort::InputBytes() {
    if (!m_port.isOpen())
        throw Failure(QStringLiteral("%1 is not open").arg(portLabel()));
    takeArrived();
    QByteArray bytes;
    if (m_inputLen > 0 && m_inputLen < m_received.size()) {
        bytes = m_received.left(m_inputLen);
        m_received.remove(0, m_inputLen);
    } else {
        bytes = std::exchange(m_received, QByteArray());
    }
    // What QSerialPort held back meanwhile, and its reading resumed.
    takeArrived();
    return bytes;
}

void SerialPort::takeArrived() {
    char chunk[ReadChunk];
    while (m_received.size() < ReceiveLimit) {
        // Asking for more than it holds also makes QSerialPort read on.
        const qint64 n =
            m_port.read(chunk, std::min<qint64>(ReadChunk, ReceiveLimit - m_received.size()));
        if (n <= 0)
            break;
        m_received.append(chunk, n);
    }
}

void SerialPort::Output(const QString& text) {
    OutputBytes(toWireBytes(text));
}

void SerialPort::OutputBytes(const QByteArray& bytes) {
    if (!m_port.isOpen())
        throw Failure(QStringLiteral("%1 is not open").arg(portLabel()));
    const qint64 taken = writeBytes(bytes);
    if (taken != bytes.size()) {
        const QString reason = m_port.errorString();
        throw Failure(QStringLiteral("cannot write to %1: %2").arg(portLabel(), reason));
    }
}

qint64 SerialPort::writeBytes(const QByteArray& bytes) {
    if (bytes.isEmpty())
        return 0;
    m_outgoing.push_back(bytes);
    m_outgoingBytes += bytes.size();
    drainOutgoing(WriteBurstMs);
    return bytes.size();
}

void SerialPort::drainOutgoing(int budgetMs) {
    const QDeadlineTimer deadline(budgetMs);
    const int fd = m_port.handle();
    bool refused = false;
    while (!m_outgoing.empty() && m_port.isOpen()) {
        const QByteArray& front = m_outgoing.front();
        const ssize_t n = ::write(fd, front.constData() + m_outgoingOffset,
                                  static_cast<std::size_t>(front.size() - m_outgoingOffset));
        if (n > 0) {
            m_outgoingOffset += n;
            m_outgoingBytes -= n;
            if (m_outgoingOffset == front.size()) {
                m_outgoing.pop_front();
                m_outgoingOffset = 0;
            }
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN) {
            // A vanished device closes the port here; any other refusal keeps
            // the bytes for the next write, or reports them unsent at close.
            refused = true;
            checkAlive();
            break;
        }
        // The device's buffer is full: wait for room while the budget lasts.
        const qint64 left = deadline.remainingTime();
        pollfd p{fd, POLLOUT, 0};
        if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0 || !(p.revents & POLLOUT))
            break;
    }
    if (m_writable)
        m_writable->setEnabled(!m_outgoing.empty() && !refused);
}

void SerialPort::dropOutgoing() {
    m_outgoing.clear();
    m_outgoingOffset = 0;
    m_outgoingBytes = 0;
}

void SerialPort::closeDevice() {
    m_received.clear();
    m_writable.reset();
    m_port.close();
    releaseDeviceLock();
}

qint64 SerialPort::flushAndClose() {
    // Everything queued goes to the device before it closes, unless the
    // device stops taking data.
    const QDeadlineTimer limit(FlushLimitMs);
    while (m_outgoingBytes > 0 && m_port.isOpen() && !limit.hasExpired()) {
        const qint64 before = m_outgoingBytes;
        drainOutgoing(static_cast<int>(std::min<qint64>(FlushStallMs, limit.remainingTime())));
        if (m_outgoingBytes == before)
            break;
    }
    const qint64 unsent = m_outgoingBytes;
    dropOutgoing();
    closeDevice();
    m_openPath.clear();
    return unsent;
}
