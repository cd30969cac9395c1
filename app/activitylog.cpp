#include "ui/formmain.h"

#include <QPlainTextEdit>
#include <QScrollBar>
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

// The start of the last `lines` lines of text (CR LF, LF and a lone CR each end
// a line, as the log shows them), or 0 when it has fewer.
qsizetype startOfLastLines(const QString& text, int lines) {
    int seen = 0;
    for (qsizetype i = text.size() - 1; i >= 0; --i) {
        const QChar c = text.at(i);
        if (c == u'\n' || (c == u'\r' && (i + 1 >= text.size() || text.at(i + 1) != u'\n'))) {
            if (++seen >= lines)
                return i + 1;
        }
    }
    return 0;
}

} // namespace

void FormMain::updateLog(const QString& Data, qint16 Cat) {
    m_loggedCharacters[Cat >= Info && Cat <= Error ? Cat : 0] += Data.size();
    QString entry = prefixFor(Cat);
    // The log keeps its last LogCapacityLines lines; of an entry longer than
    // that only the lines it would keep are worth laying out.
    const qsizetype keepFrom = startOfLastLines(Data, LogCapacityLines);
    if (keepFrom > 0)
        entry = QStringView(Data).mid(keepFrom).toString();
    else
        entry += Data;
    entry += QStringLiteral("\r\n");

    QTextDocument* doc = txtLog->document();
    QTextCursor end(doc);
    end.movePosition(QTextCursor::End);
    end.insertText(entry);
    // Caret after the last character, so the newest entry is in view.
    txtLog->setTextCursor(end);
}

qint64 FormMain::loggedCharacters(qint16 Cat) const {
    return m_loggedCharacters[Cat >= Info && Cat <= Error ? Cat : 0];
}

void FormMain::btClear_Click() {
    txtLog->setPlainText(QString());
}
