// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <sys/stat.h>

// What a user the system refused the device can do about it: join the group
// that owns it, where that group may read and write it and is not root;
// otherwise the device's owner or the system's udev rules must grant access.
QString permissionAdvice(const struct stat& device);
// The same for the device at path, as far as it can be looked at.
QString permissionAdvice(const QString& path);
