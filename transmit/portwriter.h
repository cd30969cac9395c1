// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/busypointer.h"
#include "base/reportfailure.h"
#include "serial/serialport.h"

#include <functional>

// What the routines that write to the port work with: the port, the log,
// the mouse pointer and a yield that lets pending window events run.
struct PortWriter {
    SerialPort& port;
    LogSink& log;
    BusyPointer& pointer;
    std::function<void()> yield;

    // The skeleton of every such routine: a closed port ends it silently;
    // otherwise the busy pointer shows while the body runs. The default pointer
    // is back on every way out, and a failure becomes one Error line with the tag.
    template <typename Body> void whileBusy(const QString& tag, Body&& body) const {
        reportingFailures(log, tag, [&] {
            BusyPointerGuard guard(pointer);
            if (!port.PortOpen())
                return;
            guard.busy();
            body();
        });
    }
};
