// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/sessionbus.h"

#include <QFileInfo>
#include <QString>
#include <QtGlobal>

bool sessionBusWithinReach() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") ||
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        return true;
    // Where the bus library looks when no address is given.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}
