#pragma once

#include "serial/deviceidentity.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

// The one serial port of the main window. Configuration is written only while
// the port is closed; every failure throws a Failure with a description that
// names the COM number, the device and the system's reason.
class SerialPort : public QObject {
    Q_OBJECT
public:
    explicit SerialPort(QObject* parent = nullptr);
    ~SerialPort() override;

    int CommPort() const { return m_commPort; }
    void setCommPort(int n);
    QString Settings() const { return m_settings; }
    void setSettings(const QString& settings);
    int Handshaking() const { return m_handshaking; }
    void setHandshaking(int code);

    // Reads true exactly while the port is open; a device that vanished while
    // open is noticed here and closes the port.
    bool PortOpen();
    void setPortOpen(bool open);

    void setInputLen(int len);
    // Waiting characters, clamped to 32767 so a large count never wraps.
    int InBufferCount();
    // Everything waiting (InputLen 0), one character per byte.
    QString Input();
    // Queues the whole text, one byte per character, in order.
    void Output(const QString& text);
    // The same for data that already is bytes (file contents).
    void OutputBytes(const QByteArray& bytes);

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
    // Bytes handed to the port but not yet to the device.
    qint64 pendingBytes() const { return m_port.bytesToWrite(); }
    // The device the port is open on, or empty while closed.
    QString openDevice() const { return m_port.isOpen() ? m_openPath : QString(); }

protected:
    // Hands bytes to the driver; returns how many it took or -1.
    virtual qint64 writeBytes(const QByteArray& bytes);

private:
    void open(const QString& path);
    void lockDevice(const QString& path, const QString& where);
    void releaseDeviceLock();
    void checkAlive();
    void onError(QSerialPort::SerialPortError error);
    // Hands every queued byte to the device before closing; returns how many
    // had to be thrown away because the device stopped taking data.
    qint64 flushAndClose();
    void requireClosed(const char* what) const;

    QSerialPort m_port;
    int m_commPort = 1;
    QString m_settings = QStringLiteral("9600,n,8,1");
    int m_handshaking = 0;
    int m_inputLen = 0;
    QString m_openPath;
    QString m_lossReport;
    DeviceIdentity m_openIdentity;
    QString m_awaitedPath;
    DeviceIdentity m_awaited; // the device m_awaitedPath led to when it was lost
    int m_lockFd = -1;        // holds our flock on the open device
    QByteArray m_unreadAfterLoss;
};
