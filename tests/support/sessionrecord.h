// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/busypointer.h"
#include "base/logsink.h"

#include <QList>
#include <QObject>
#include <QStringList>

#include <utility>

class Terminal;

// What a terminal session reported: its log entries and its status lines.
class SessionRecord : public QObject {
public:
    explicit SessionRecord(Terminal& terminal);

    // The log as the activity log shows it: each entry its prefix, its text
    // and a line break, where CR LF, LF and a lone CR each end a line.
    QString logText() const;
    // The Error lines of logText().
    QStringList errors() const;
    // Characters of one category's entries.
    qint64 characters(LogCategory Cat) const;
    // The last status line text, empty when none was given.
    QString status() const { return statuses.isEmpty() ? QString() : statuses.last(); }
    void clear();

    QList<std::pair<LogCategory, QString>> entries;
    QStringList statuses;
};

// The busy pointer of a session under test.
class RecordingPointer : public BusyPointer {
public:
    void setBusyPointer() override {
        shapes << QStringLiteral("busy");
        busy = true;
    }
    void setDefaultPointer() override {
        shapes << QStringLiteral("default");
        busy = false;
    }
    QStringList shapes;
    bool busy = false;
};
