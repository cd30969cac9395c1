// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/logdisplay.h"
#include "ui/activitylog.h"

#include <QList>
#include <QObject>

#include <functional>

class QPlainTextEdit;

// One text box showing the log: the main window's txtLog or the log window's.
// While the reader has scrolled up or selected text, new entries are appended
// without moving the view or losing the selection; back at the end (by
// scrolling, or Ctrl+End) the box follows the log again.
class LogView : public QObject, public LogDisplay {
    Q_OBJECT
public:
    explicit LogView(QPlainTextEdit* box);

    QPlainTextEdit* box() const { return m_box; }
    // Whether the next entry moves the view to the end: the view is there
    // and nothing is selected.
    bool following() const;

    // Entries that come meanwhile wait, in order, and then are shown: the
    // window's first frame need not lay out the lines of its start-up.
    void holdEntries() { m_holding = true; }
    void showHeldEntries();

    void showEntry(const QString& Data, LogCategory Cat) override;
    void showBytes(const QByteArray& Data, LogCategory Cat) override;
    void clearShown() override;

signals:
    void entryShown();

private:
    template <typename Append> void show(Append append);

    QPlainTextEdit* m_box;
    ActivityLog m_log;
    bool m_holding = false;
    QList<std::function<void()>> m_held;
};
