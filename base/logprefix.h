// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"

#include <QString>

// The prefix that marks an entry of each kind; any other value has none.
inline QString logPrefix(LogCategory Cat) {
    switch (Cat) {
    case LogCategory::Info:
        return QStringLiteral("Info: ");
    case LogCategory::Received:
        return QStringLiteral("<< ");
    case LogCategory::Sent:
        return QStringLiteral(">> ");
    case LogCategory::Error:
        return QStringLiteral("Err: ");
    }
    return {};
}
