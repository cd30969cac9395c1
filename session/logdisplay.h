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
    // The same for received bytes, one character each; a box that keeps only
    // the end of a long entry converts only that.
    virtual void showBytes(const QByteArray& Data, LogCategory Cat) {
        showEntry(QString::fromLatin1(Data), Cat);
    }
    virtual void clearShown() = 0;
};
