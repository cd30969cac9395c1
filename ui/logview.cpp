// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/logview.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

#include <utility>

LogView::LogView(QPlainTextEdit* box) : QObject(box), m_box(box), m_log(box) {}

bool LogView::following() const {
    if (m_box->textCursor().hasSelection())
        return false;
    const QScrollBar* bar = m_box->verticalScrollBar();
    if (bar->value() >= bar->maximum() || !m_box->isVisible())
        return true;
    // The caret kept at the end may leave the bar a line short of its end;
    // what counts is whether the end is in view. Far from it, it is not, and
    // finding out would lay out every line in between.
    if (bar->maximum() - bar->value() > 2)
        return false;
    QTextCursor end(m_box->document());
    end.movePosition(QTextCursor::End);
    return m_box->cursorRect(end).top() < m_box->viewport()->height();
}

void LogView::showHeldEntries() {
    m_holding = false;
    for (const auto& held : std::exchange(m_held, {}))
        held();
}

void LogView::showEntry(const QString& Data, LogCategory Cat) {
    if (m_holding)
        m_held.append([this, Data, Cat] { showEntry(Data, Cat); });
    else
        show([&] { m_log.updateLog(Data, Cat); });
}

void LogView::showBytes(const QByteArray& Data, LogCategory Cat) {
    if (m_holding)
        m_held.append([this, Data, Cat] { showBytes(Data, Cat); });
    else
        show([&] { m_log.updateLogBytes(Data, Cat); });
}

template <typename Append> void LogView::show(Append append) {
    const bool follow = following();
    m_log.setFollowing(follow);
    if (follow) {
        append();
    } else {
        // The scroll bar counts lines from the top, so dropping the oldest
        // lines would slide the text under the reader: keep the top line.
        QScrollBar* bar = m_box->verticalScrollBar();
        const QTextBlock top = m_box->document()->findBlockByLineNumber(bar->value());
        const int intoBlock = bar->value() - top.firstLineNumber();
        const QTextCursor mark(top); // moves with the text
        append();
        bar->setValue(mark.block().firstLineNumber() + intoBlock);
    }
    emit entryShown();
}

void LogView::clearShown() {
    m_held.clear();
    m_log.clear();
}
