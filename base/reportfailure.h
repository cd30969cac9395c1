// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/failure.h"
#include "base/logsink.h"

#include <exception>

// The one Error line of a routine that handles its own failures: its tag
// ("SendData: ") followed by the failure's description.
void reportFailure(LogSink& log, const QString& tag, const std::exception& e);

// Runs a routine's body; a failure ends it with that one Error line.
template <typename Body> void reportingFailures(LogSink& log, const QString& tag, Body&& body) {
    try {
        body();
    } catch (const std::exception& e) {
        reportFailure(log, tag, e);
    }
}
