// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/runoverrides.h"

#include "base/reportfailure.h"
#include "serial/comportmap.h"
#include "serial/serialport.h"
#include "settings/mainsettings.h"

void applyPortOverrides(const PortOverrides& overrides, SerialPort& port, MainSettings& settings,
                        LogSink& log) {
    if (overrides.isEmpty())
        return;
    QStringList kept;
    reportingFailures(log, QStringLiteral("loadSettings: "), [&] {
        if (overrides.comPort || overrides.device) {
            port.setCommPort(overrides.device ? port.portMap().mapForThisRun(*overrides.device)
                                              : *overrides.comPort);
            kept << QStringLiteral("Port");
        }
        if (overrides.settings) {
            port.setSettings(*overrides.settings);
            kept << QStringLiteral("Settings");
        }
        if (overrides.handshaking) {
            port.setHandshaking(*overrides.handshaking);
            kept << QStringLiteral("HandShaking");
        }
    });
    settings.keepStored(kept);
}
