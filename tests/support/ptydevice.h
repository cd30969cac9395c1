// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal pair: the program opens the slave path as its serial
// device, the test holds the master and plays the device.
class PtyDevice {
public:
    PtyDevice();
    ~PtyDevice();
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    QString path() const { return m_path; }
    // Writes all bytes to the program's side.
    void write(const QByteArray& bytes);
    // Reads what the program sent, waiting up to timeoutMs for at least
    // `atLeast` bytes in all; returns what arrived.
    QByteArray read(int atLeast, int timeoutMs = 3000);
    // Everything already waiting, without blocking.
    QByteArray readAvailable();
    // Hangs up the device, as a pulled cable does.
    void hangUp();
    int masterFd() const { return m_master; }

private:
    int m_master = -1;
    int m_slave = -1; // kept open so the slave survives until the program opens it
    QString m_path;
};
