// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"

// A text box that shows the log. It takes each entry as the log shows it:
// the message after the prefix of Cat (none for a category without one),
// followed by a line break.
class LogDisplay {
public:
    virtual ~LogDisplay() = default;
    virtual void showEntry(const QString& Data, LogCategory Cat) = 0;
    virtual void clearShown() = 0;
};
