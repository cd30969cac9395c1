#include "ui/logview.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>

LogView::LogView(QPlainTextEdit* box) : QObject(box), m_box(box), m_log(box) {}

bool LogView::following() const {
    const QScrollBar* bar = m_box->verticalScrollBar();
    return bar->value() >= bar->maximum() && !m_box->textCursor().hasSelection();
}

void LogView::showEntry(const QString& Data, LogCategory Cat) {
    const bool follow = following();
    m_log.setFollowing(follow);
    if (follow) {
        m_log.updateLog(Data, Cat);
    } else {
        // The scroll bar counts lines from the top, so dropping the oldest
        // lines would slide the text under the reader: keep the top line.
        QScrollBar* bar = m_box->verticalScrollBar();
        const QTextBlock top = m_box->document()->findBlockByLineNumber(bar->value());
        const int intoBlock = bar->value() - top.firstLineNumber();
        const QTextCursor mark(top); // moves with the text
        m_log.updateLog(Data, Cat);
        bar->setValue(mark.block().firstLineNumber() + intoBlock);
    }
    emit entryShown();
}

void LogView::clearShown() {
    m_log.clear();
}
