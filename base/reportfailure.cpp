// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/reportfailure.h"

void reportFailure(LogSink& log, const QString& tag, const std::exception& e) {
    log.updateLog(tag + describe(e), LogCategory::Error);
}
