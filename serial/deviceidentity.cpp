// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/deviceidentity.h"

#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <sys/sysmacros.h>

namespace {

// The Unix 98 pseudo-terminal slaves.
bool isPseudoTerminal(const struct stat& st) {
    return S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

bool sameLink(const struct stat& a, const struct stat& b) {
    // A link's inode number can be reused at once; its change time dates it.
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_ctim.tv_sec == b.st_ctim.tv_sec &&
           a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

} // namespace

bool sameDevice(const struct stat& a, const struct stat& b) {
    if (S_ISCHR(a.st_mode) && S_ISCHR(b.st_mode))
        return a.st_rdev == b.st_rdev && (!isPseudoTerminal(a) || a.st_dev == b.st_dev);
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

DeviceIdentity DeviceIdentity::of(const QString& path, int fd) {
    DeviceIdentity id;
    const QByteArray name = QFile::encodeName(path);
    if ((fd >= 0 ? ::fstat(fd, &id.m_node) : ::stat(name.constData(), &id.m_node)) != 0)
        return id;
    id.m_valid = true;
    id.m_link = ::lstat(name.constData(), &id.m_linkNode) == 0 && S_ISLNK(id.m_linkNode.st_mode);
    if (isPseudoTerminal(id.m_node))
        return id;
    const QString device = QFileInfo(path).canonicalFilePath();
    for (const QSerialPortInfo& p : QSerialPortInfo::availablePorts()) {
        if (p.systemLocation() != device || !p.hasVendorIdentifier())
            continue;
        id.m_usb = QString::number(p.vendorIdentifier(), 16) + u':' +
                   QString::number(p.productIdentifier(), 16) + u' ' + p.serialNumber();
        id.m_usbSerial = !p.serialNumber().isEmpty();
    }
    return id;
}

bool DeviceIdentity::isStill(const DeviceIdentity& now) const {
    // A node made anew, even with the same number, has another change time.
    return m_valid && now.m_valid && S_ISCHR(now.m_node.st_mode) &&
           sameDevice(m_node, now.m_node) && now.m_node.st_ino == m_node.st_ino &&
           now.m_node.st_ctim.tv_sec == m_node.st_ctim.tv_sec &&
           now.m_node.st_ctim.tv_nsec == m_node.st_ctim.tv_nsec && now.m_usb == m_usb;
}

bool DeviceIdentity::isBackAs(const DeviceIdentity& now) const {
    if (!m_valid || !now.m_valid || !S_ISCHR(now.m_node.st_mode))
        return false;
    const bool madeAnew = m_link && now.m_link && !sameLink(m_linkNode, now.m_linkNode);
    // A terminal that hung up never comes back; its number goes to the next
    // one opened, so only a name made anew leads to the device again.
    if (isPseudoTerminal(m_node))
        return madeAnew;
    if (now.m_usb != m_usb)
        return false; // another board, or a board where a USB one was
    // A USB serial number names the board wherever it is plugged in.
    return m_usbSerial || madeAnew || now.m_node.st_rdev == m_node.st_rdev;
}
