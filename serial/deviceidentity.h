// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/stat.h>

// Whether two stat results are one device: a character device by its number,
// a pseudo-terminal also by its devpts instance (each instance, as in a chroot,
// numbers its own terminals from 0); any other file by its inode.
bool sameDevice(const struct stat& a, const struct stat& b);

// What tells the device a port was open on from another that later stands at
// its path: the device number, the link that named it (udev and pseudo-terminal
// tools make a link anew for a device that came back) and, for USB, the ids and
// serial number.
class DeviceIdentity {
public:
    // The device at path now, or the one open as fd when fd >= 0 (path still
    // names the link); not valid when there is none.
    static DeviceIdentity of(const QString& path, int fd = -1);

    bool isValid() const { return m_valid; }
    // Whether now is the device this identity was taken from, come back.
    bool isBackAs(const DeviceIdentity& now) const;
    // Whether now is the very node this identity was taken from, never gone
    // in between (a port released for another program and still there).
    bool isStill(const DeviceIdentity& now) const;

private:
    bool m_valid = false;
    struct stat m_node {};
    bool m_link = false;
    struct stat m_linkNode {};
    QString m_usb; // "vid:pid" and the serial number, when the system knows them
    bool m_usbSerial = false;
};
