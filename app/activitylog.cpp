#include "ui/formmain.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString prefixFor(qint16 cat) {
    switch (cat) {
    case Info:
        return QStringLiteral("Info: ");
    case Received:
        return QStringLiteral("<< ");
    case Sent:
        return QStringLiteral(">> ");
    case Error:
        return QStringLiteral("Err: ");
    default:
        return {};
    }
}

bool endsLine(QStringView text, qsizetype i) {
    const QChar c = text[i];
    return c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text[i + 1] != u'\n'));
}

// The start of the last `lines` lines of text (CR LF, LF and a lone CR each
// end a line, as the log shows them), or 0 when it has fewer.
qsizetype startOfLastLines(QStringView text, int lines) {
    int seen = 0;
    qsizetype run = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        // A long run counts as the pieces it will be shown in.
        if (endsLine(text, i) || ++run >= FormMain::LogLineLength) {
            run = 0;
            if (++seen > lines)
                return i + 1;
        }
    }
    return 0;
}

// Laying out one long paragraph costs the square of its length, so a line
// longer than LogLineLength is shown in pieces of that length. Builds the
// text to insert (prefix, data, CR LF) in one pass, without a copy of the
// whole entry, and counts the lines it ends.
QString inDisplayLines(QStringView prefix, QStringView data, int* lineCount) {
    QString out;
    out.reserve(prefix.size() + data.size() + data.size() / FormMain::LogLineLength + 2);
    out += prefix;
    int lines = 0;
    qsizetype run = prefix.size();
    for (qsizetype i = 0; i < data.size(); ++i) {
        out += data[i];
        if (endsLine(data, i)) {
            run = 0;
            ++lines;
        } else if (data[i] != u'\r' && ++run >= FormMain::LogLineLength && i + 1 < data.size() &&
                   !endsLine(data, i + 1) && data[i + 1] != u'\r') {
            out += u'\n';
            run = 0;
            ++lines;
        }
    }
    out += QStringLiteral("\r\n");
    *lineCount = lines + 1;
    return out;
}

} // namespace

void FormMain::updateLog(const QString& Data, qint16 Cat) {
    m_loggedCharacters[Cat >= Info && Cat <= Error ? Cat : 0] += Data.size();

    // Of an entry longer than the capacity only the lines it keeps matter;
    // the CR LF that ends the entry makes one more (empty) line.
    const qsizetype keepFrom = startOfLastLines(Data, LogCapacityLines - 1);
    int newLines = 0;
    const QString shown = inDisplayLines(keepFrom == 0 ? prefixFor(Cat) : QString(),
                                         QStringView(Data).mid(keepFrom), &newLines);

    QTextDocument* doc = txtLog->document();
    // Dropping old lines one append at a time costs more than the appends
    // themselves, so the log grows to twice its capacity and is then cut back
    // to its newest LogCapacityLines lines in one go.
    if (doc->blockCount() + newLines > 2 * LogCapacityLines) {
        const int keepOld = std::max(0, LogCapacityLines - newLines);
        QString kept;
        if (keepOld > 0) {
            QTextCursor tail(doc->findBlockByNumber(doc->blockCount() - 1 - keepOld));
            tail.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            kept = tail.selectedText(); // paragraph breaks come back as U+2029
        }
        doc->clear();
        QTextCursor(doc).insertText(kept);
    }
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertText(shown);
    // Caret after the last character, so the newest entry is in view.
    txtLog->setTextCursor(end);
}

qint64 FormMain::loggedCharacters(qint16 Cat) const {
    return m_loggedCharacters[Cat >= Info && Cat <= Error ? Cat : 0];
}

void FormMain::btClear_Click() {
    txtLog->setPlainText(QString());
}
