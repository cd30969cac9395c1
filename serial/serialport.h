// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/boardlines.h"
#include "serial/comportmap.h"
#include "serial/deviceidentity.h"
#include "serial/linesettings.h"
#include "serial/modemlines.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include <deque>
#include <memory>

class QSocketNotifier;

// The one serial port of a terminal session. Configuration is written only
// while the port is closed; every failure throws a Failure with a description
// that names the COM number, the device and the system's reason. Every query
// is const and changes nothing.
class SerialPort : public QObject, public ModemLines {
    Q_OBJECT
public:
    // COM numbers are looked up through the entries of `ports` and the
    // devices present, afresh at every open.
    explicit SerialPort(const PortEntrySource& ports, QObject* parent = nullptr);
    ~SerialPort() override;

    int CommPort() const { return m_commPort; }
    void setCommPort(int n);
    // The settings text exactly as written ("9600,N,8,1" stays so).
    QString Settings() const { return m_lineSettings.text(); }
    void setSettings(const QString& settings);
    const LineSettings& lineSettings() const { return m_lineSettings; }
    int Handshaking() const { return m_handshaking; }
    void setHandshaking(int code);

    // Reads true exactly while the port is open. A device that vanished is
    // noticed by checkAlive(), which closes the port.
    bool PortOpen() const { return m_port.isOpen(); }
    void setPortOpen(bool open);

    void setInputLen(int len);
    // Waiting characters, clamped to 32767 so a large count never wraps.
    int InBufferCount() const;
    // Everything waiting (InputLen 0), one character per byte.
    QString Input();
    // The same as the bytes themselves, not converted.
    QByteArray InputBytes();
    // Queues the whole text, one byte per character, in order.
    void Output(const QString& text);
    // The same for data that already is bytes (file contents).
    void OutputBytes(const QByteArray& bytes);

    // Closes the port when its device vanished while open (a hang-up or an
    // error on the descriptor, or the node gone), keeping what it had sent
    // and a report for takeLossReport(). The receive tick calls it, and so
    // does the port itself when QSerialPort reports an error.
    void checkAlive();
    // Once after the device vanished while open: what happened. Empty otherwise.
    QString takeLossReport();
    // What the device had sent but nobody had read when it vanished.
    QString takeUnreadAfterLoss();
    // After a loss, the device that vanished is awaited until the user opens
    // or closes the port. When it is back and can be opened, this reopens it
    // with the same configuration and returns true; otherwise it changes nothing.
    bool reopenAwaitedDevice();
    // "COM1 (/dev/ttyACM0)": the number and the device it is open on or maps to.
    QString portLabel() const;
    // How COM numbers map to devices now.
    ComPortMap portMap() const { return ComPortMap(m_ports.portEntries()); }
    // Bytes handed to the port but not yet to the device.
    qint64 pendingBytes() const { return m_outgoingBytes; }
    // The device the port is open on, or empty while closed.
    QString openDevice() const { return m_port.isOpen() ? m_openPath : QString(); }

    // Modem control lines and break, on the open port (serial/serialportlines.cpp).
    std::optional<States> modemLines() override;
    void setDtr(bool on) override;
    void setRts(bool on) override;
    void setBreak(bool on) override;
    void hold(int ms) override;
    // The DTR and RTS states set at every opening, once the system has raised both.
    void setLinesOnOpen(const LinesOnOpen& states) { m_linesOnOpen = states; }

    // Handing the port to another program (serial/portrelease.cpp). Release
    // closes the open port and remembers its device; it returns how many
    // queued bytes the device did not take, and throws when the port is not
    // open. Reclaim awaits that device, so reopenAwaitedDevice() takes it back
    // as soon as it is there and free. Opening or closing the port otherwise
    // forgets the release.
    qint64 releasePort();
    bool isReleased() const { return !m_releasedPath.isEmpty(); }
    QString releasedDevice() const { return m_releasedPath; }
    void reclaimPort();
    bool isAwaitingDevice() const { return !m_awaitedPath.isEmpty(); }

protected:
    // Hands bytes to the driver; returns how many it took or -1.
    virtual qint64 writeBytes(const QByteArray& bytes);

private:
    void open(const QString& path);
    void lockDevice(const QString& path, const QString& where);
    void releaseDeviceLock();
    void onError(QSerialPort::SerialPortError error);
    // Hands every queued byte to the device before closing; returns how many
    // had to be thrown away because the device stopped taking data.
    qint64 flushAndClose();
    void requireClosed(const char* what) const;
    void requireOpen() const;
    void changeLines(unsigned long request, int lines, const char* what);
    // Hands queued bytes to the device for up to budgetMs, waiting for room
    // as it goes; what is left goes out when the device can take more.
    void drainOutgoing(int budgetMs);
    void dropOutgoing();
    // Moves what QSerialPort has read into m_received, up to its limit.
    void takeArrived();
    void closeDevice();

    const PortEntrySource& m_ports;
    QSerialPort m_port;
    int m_commPort = 1;
    LineSettings m_lineSettings;
    int m_handshaking = 0;
    int m_inputLen = 0;
    QString m_openPath;
    QString m_lossReport;
    DeviceIdentity m_openIdentity;
    QString m_awaitedPath;
    DeviceIdentity m_awaited;  // the device m_awaitedPath led to when it was lost
    bool m_reclaiming = false; // awaited after a release, not after a loss
    int m_lockFd = -1;         // holds our flock on the open device
    QByteArray m_unreadAfterLoss;
    // What arrived since the last read, in one array that grows in place:
    // QSerialPort's own buffer holds each byte in a chunk of several times
    // its size, and reading it out whole would copy it all once more.
    QByteArray m_received;
    LinesOnOpen m_linesOnOpen;
    QString m_releasedPath;
    // Written straight to the descriptor rather than through QSerialPort's
    // buffer, which would copy every byte of a file once more. The arrays
    // are shared with the callers, not copied.
    std::deque<QByteArray> m_outgoing;
    qsizetype m_outgoingOffset = 0; // of the front array, already written
    qint64 m_outgoingBytes = 0;
    std::unique_ptr<QSocketNotifier> m_writable;
};
