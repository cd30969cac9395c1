// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/logsink.h"

#include <array>

class QPlainTextEdit;

// The activity log in the main window's text box. Each entry is its prefix,
// the message unchanged and a line break.
//
// The log keeps its newest CapacityLines lines; older lines are dropped. A
// line longer than LineLength characters is shown in pieces of that length,
// since laying out one long paragraph costs the square of its length.
class ActivityLog : public LogSink {
public:
    static constexpr int CapacityLines = 20000;
    static constexpr int LineLength = 1000;

    explicit ActivityLog(QPlainTextEdit* box) : m_box(box) {}

    void updateLog(const QString& Data, LogCategory Cat) override;
    void updateLogBytes(const QByteArray& Data, LogCategory Cat) override;
    void clear();
    // Off: entries are appended without moving the caret or the view.
    void setFollowing(bool on) { m_following = on; }
    // Message characters of one category appended so far, whatever the
    // capacity kept (to measure that nothing is lost).
    qint64 loggedCharacters(LogCategory Cat) const;

private:
    template <typename View> void append(View Data, LogCategory Cat);

    QPlainTextEdit* m_box;
    bool m_following = true;
    std::array<qint64, 5> m_loggedCharacters{}; // by category; 0 = any other
};
