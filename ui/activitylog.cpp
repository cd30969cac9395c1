// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/activitylog.h"

#include "base/logprefix.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Entries come as text or as received bytes, one character each.
char16_t unitAt(QStringView text, qsizetype i) {
    return text[i].unicode();
}
char16_t unitAt(QLatin1String text, qsizetype i) {
    return static_cast<uchar>(text.data()[i]);
}

template <typename View> bool endsLine(View text, qsizetype i) {
    const char16_t c = unitAt(text, i);
    return c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || unitAt(text, i + 1) != u'\n'));
}

// The start of the last `lines` lines of text (CR LF, LF and a lone CR each
// end a line, as the log shows them), or 0 when it has fewer.
template <typename View> qsizetype startOfLastLines(View text, int lines) {
    int seen = 0;
    qsizetype run = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        // A long run counts as the pieces it will be shown in.
        if (endsLine(text, i) || ++run >= ActivityLog::LineLength) {
            run = 0;
            if (++seen > lines)
                return i + 1;
        }
    }
    return 0;
}

// Laying out one long paragraph costs the square of its length, so a line
// longer than LineLength is shown in pieces of that length. Builds the
// text to insert (prefix, data, CR LF) in one pass, without a copy of the
// whole entry, and counts the lines it ends.
template <typename View> QString inDisplayLines(QStringView prefix, View data, int* lineCount) {
    QString out;
    out.reserve(prefix.size() + data.size() + data.size() / ActivityLog::LineLength + 2);
    out += prefix;
    int lines = 0;
    qsizetype run = prefix.size();
    qsizetype copied = 0; // data before this index is already in out
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (endsLine(data, i)) {
            run = 0;
            ++lines;
        } else if (unitAt(data, i) != u'\r' && ++run >= ActivityLog::LineLength &&
                   i + 1 < data.size() && !endsLine(data, i + 1) && unitAt(data, i + 1) != u'\r') {
            out += data.mid(copied, i + 1 - copied);
            out += u'\n';
            copied = i + 1;
            run = 0;
            ++lines;
        }
    }
    out += data.mid(copied);
    out += QStringLiteral("\r\n");
    *lineCount = lines + 1;
    return out;
}

// Where a category's characters are counted: its own value, or 0 for any other.
std::size_t counterOf(LogCategory cat) {
    const auto v = static_cast<qint16>(cat);
    return v >= 1 && v <= 4 ? static_cast<std::size_t>(v) : 0;
}

} // namespace

void ActivityLog::updateLog(const QString& Data, LogCategory Cat) {
    append(QStringView(Data), Cat);
}

void ActivityLog::updateLogBytes(const QByteArray& Data, LogCategory Cat) {
    append(QLatin1String(Data), Cat);
}

template <typename View> void ActivityLog::append(View Data, LogCategory Cat) {
    m_loggedCharacters[counterOf(Cat)] += Data.size();

    // Of an entry longer than the capacity only the lines it keeps become
    // text; the CR LF that ends the entry makes one more (empty) line.
    const qsizetype keepFrom = startOfLastLines(Data, CapacityLines - 1);
    int newLines = 0;
    const QString shown =
        inDisplayLines(keepFrom == 0 ? logPrefix(Cat) : QString(), Data.mid(keepFrom), &newLines);

    // Drop the oldest lines beyond the capacity first, so the log never holds
    // more. Selecting them by position, not by moving over them block by
    // block, keeps Qt from laying out every line it is about to throw away.
    QTextDocument* doc = m_box->document();
    const int excess = doc->blockCount() - 1 + newLines - CapacityLines;
    if (newLines >= CapacityLines) {
        doc->clear(); // the entry alone fills the log
    } else if (excess > 0) {
        QTextCursor oldest(doc);
        oldest.setPosition(doc->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
        oldest.removeSelectedText();
    }
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    // Caret after the last character, so the newest entry is in view;
    // unless the reader is elsewhere, whose view and selection stay.
    if (!m_following)
        return;
    end.movePosition(QTextCursor::End);
    m_box->setTextCursor(end);
}

qint64 ActivityLog::loggedCharacters(LogCategory Cat) const {
    return m_loggedCharacters[counterOf(Cat)];
}

void ActivityLog::clear() {
    m_box->setPlainText(QString());
}
