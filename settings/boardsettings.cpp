// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/boardsettings.h"

#include "base/failure.h"
#include "base/reportfailure.h"
#include "serial/serialport.h"
#include "settings/conversions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

using namespace SettingsKeys;

namespace {

QString stored(const QString& key, const QString& def) {
    return SettingsStore::GetSetting(AppName, Com, key, def).trimmed();
}

bool storedLine(const QString& key) {
    const QString text = stored(key, QStringLiteral("1"));
    if (text == u"1")
        return true;
    if (text == u"0")
        return false;
    throw Failure(QStringLiteral("invalid %1 \"%2\" in the [COM] section (use 1 to keep it "
                                 "raised when the port opens, or 0 to lower it)")
                      .arg(key, text));
}

} // namespace

ResetPlan storedResetPlan() {
    ResetPlan plan;
    const QString text = stored(QStringLiteral("Reset"), QStringLiteral("dtr"));
    const QString method = text.toLower();
    if (method == u"dtr")
        plan.method = ResetMethod::Dtr;
    else if (method == u"rts")
        plan.method = ResetMethod::Rts;
    else if (method == u"esp")
        plan.method = ResetMethod::Esp;
    else if (method == u"none")
        plan.method = ResetMethod::None;
    else
        throw Failure(QStringLiteral("invalid Reset \"%1\" in the [COM] section (use dtr, rts, "
                                     "esp or none)")
                          .arg(text));
    plan.pulseMs = static_cast<int>(
        toInteger(QStringLiteral("the stored ResetMs"),
                  stored(QStringLiteral("ResetMs"), QStringLiteral("100")), 1, MaxResetMs));
    return plan;
}

LinesOnOpen storedLinesOnOpen() {
    return {storedLine(QStringLiteral("DTR")), storedLine(QStringLiteral("RTS"))};
}

void loadLinesOnOpen(SerialPort& port, LogSink& log) {
    reportingFailures(log, QStringLiteral("loadSettings: "),
                      [&] { port.setLinesOnOpen(storedLinesOnOpen()); });
}
