// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/portprobe.h"

#include "serial/comportmap.h"

#include <QFile>

#include <sys/stat.h>

bool portExists(const ComPortMap& map, int n) {
    const QString path = map.devicePath(n);
    if (path.isEmpty())
        return false;
    // stat() follows links such as /dev/serial/by-id/... and never opens the device.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISCHR(st.st_mode);
}
