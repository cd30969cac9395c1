// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Kinds of activity-log entries. Any other value of the underlying type is
// allowed and gives an entry without a prefix.
enum class LogCategory : qint16 { Info = 1, Received = 2, Sent = 3, Error = 4 };

// Where the routines report: the main window's activity log, or a test's record.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void updateLog(const QString& Data, LogCategory Cat) = 0;
    // The same for bytes that stand for one character each, as received; a
    // sink that keeps only the end of a long entry converts only that.
    virtual void updateLogBytes(const QByteArray& Data, LogCategory Cat) {
        updateLog(QString::fromLatin1(Data), Cat);
    }
};
