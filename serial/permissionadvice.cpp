// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/permissionadvice.h"

#include <QFile>

#include <grp.h>
#include <pwd.h>

QString permissionAdvice(const struct stat& device) {
    constexpr mode_t groupReadWrite = S_IRGRP | S_IWGRP;
    if (device.st_gid != 0 && (device.st_mode & groupReadWrite) == groupReadWrite) {
        const group* g = ::getgrgid(device.st_gid);
        const QString name =
            g != nullptr ? QString::fromLocal8Bit(g->gr_name) : QString::number(device.st_gid);
        return QStringLiteral("your user must belong to the group \"%1\" that owns the device "
                              "(sudo usermod -aG %1 $USER, then log in again)")
            .arg(name);
    }
    const passwd* owner = ::getpwuid(device.st_uid);
    const QString name =
        owner != nullptr ? QString::fromLocal8Bit(owner->pw_name) : QString::number(device.st_uid);
    return QStringLiteral("the device is not accessible to this user; its owner (%1) or the "
                          "system's udev rules must grant access")
        .arg(name);
}

QString permissionAdvice(const QString& path) {
    struct stat device {};
    if (::stat(QFile::encodeName(path).constData(), &device) != 0)
        return QStringLiteral("the device is not accessible to this user; its owner or the "
                              "system's udev rules must grant access");
    return permissionAdvice(device);
}
