// SPDX-License-Identifier: GPL-3.0-or-later
// The log as a reader uses it: following the end only when the reader is
// there, the log window, find, the stored choices, saving, and reaching all
// of it from the keyboard.
#include "settings/settingsstore.h"
#include "support/testenv.h"
#include "ui/activitylog.h"
#include "ui/findbar.h"
#include "ui/finddialog.h"
#include "ui/formmain.h"
#include "ui/logcontextmenu.h"
#include "ui/logcontrols.h"
#include "ui/logwindow.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <sys/stat.h>

namespace {

QString lines(int from, int count) {
    QString text;
    for (int i = from; i < from + count; ++i)
        text += QStringLiteral("line %1\r\n").arg(i);
    return text;
}

QString topLine(QPlainTextEdit* box) {
    return box->cursorForPosition(QPoint(4, 4)).block().text();
}

QString stored(const QString& key) {
    return SettingsStore::GetSetting(QStringLiteral("Brovik"), QStringLiteral("Log"), key);
}

} // namespace

class TestLogView : public QObject {
    Q_OBJECT
    TestEnv env;

private slots:
    void init() { env.clear(); }

    void theLogFollowsOnlyAReaderAtItsEnd_data() {
        QTest::addColumn<bool>("window"); // the log window's box, not txtLog
        QTest::addColumn<QString>("reader");
        QTest::addColumn<bool>("follows");
        for (bool window : {false, true}) {
            const char* box = window ? "log window, " : "txtLog, ";
            auto row = [&](const char* reader, bool follows) {
                QTest::newRow(qPrintable(box + QString::fromLatin1(reader)))
                    << window << reader << follows;
            };
            row("at the end", true);
            row("scrolled up", false);
            row("text selected", false);
            row("scrolled up as the oldest lines go", false);
            row("Ctrl+End after scrolling up", true);
        }
    }
    void theLogFollowsOnlyAReaderAtItsEnd() {
        QFETCH(bool, window);
        QFETCH(QString, reader);
        QFETCH(bool, follows);
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QPlainTextEdit* box = w.txtLog;
        if (window) {
            w.logControls().openLogWindow();
            box = w.logControls().logWindow()->txtLogWindow;
            QVERIFY(QTest::qWaitForWindowExposed(box->window()));
        }
        const bool full = reader.contains(u"oldest");
        w.updateLog(lines(0, full ? ActivityLog::CapacityLines : 300), LogCategory::Received);
        QScrollBar* bar = box->verticalScrollBar();

        if (reader.startsWith(u"scrolled") || reader.startsWith(u"Ctrl"))
            bar->setValue(bar->maximum() / 2);
        if (reader == u"text selected") {
            QTextCursor c(box->document()->findBlockByNumber(box->document()->blockCount() - 5));
            c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            box->setTextCursor(c);
        }
        if (reader.startsWith(u"Ctrl"))
            QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        const QString top = topLine(box);
        const QString selected = box->textCursor().selectedText();

        w.updateLog(lines(1000000, 100), LogCategory::Received);
        QApplication::processEvents();
        if (follows) {
            QVERIFY(bar->maximum() - bar->value() <= 1);
            QCOMPARE(box->textCursor().position(), box->document()->characterCount() - 1);
            QVERIFY(!box->textCursor().hasSelection());
        } else {
            QCOMPARE(topLine(box), top);
            QCOMPARE(box->textCursor().selectedText(), selected);
            QVERIFY(bar->value() < bar->maximum() - 1);
        }
        QVERIFY(box->toPlainText().endsWith(QStringLiteral("line 1000099\n\n")));
    }

    void theLogWindowShowsTheSameLogAndKeepsItsPlace() {
        QRect placed;
        {
            FormMain w;
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            w.updateLog(QStringLiteral("before"), LogCategory::Info);
            QTest::keyClick(w.txtDataSend, Qt::Key_L, Qt::ControlModifier);
            LogWindow* log = w.logControls().logWindow();
            QVERIFY(log && log->isVisible());
            QCOMPARE(log->windowTitle(), QStringLiteral("Brovik Log"));
            QVERIFY(QFontInfo(log->txtLogWindow->font()).fixedPitch());
            QCOMPARE(log->txtLogWindow->toPlainText(), w.txtLog->toPlainText());
            w.updateLog(QStringLiteral("OK\r\n"), LogCategory::Received);
            QCOMPARE(log->txtLogWindow->toPlainText(), QStringLiteral("Info: before\n<< OK\n\n"));
            QCOMPARE(log->txtLogWindow->toPlainText(), w.txtLog->toPlainText());

            // Clear Log, from either window, empties both, as btClear does.
            w.logControls().actions().clearLog->trigger();
            QCOMPARE(log->txtLogWindow->toPlainText(), QString());
            QCOMPARE(w.txtLog->toPlainText(), QString());

            log->setGeometry(50, 60, 500, 300);
            placed = log->geometry();
            log->close();
            QVERIFY(!stored(QStringLiteral("WindowGeometry")).isEmpty());
            // Closed, it takes no entries; opened again, it has them all.
            w.updateLog(QStringLiteral("while closed"), LogCategory::Info);
            QCOMPARE(log->txtLogWindow->toPlainText(), QString());
            w.logControls().openLogWindow();
            QCOMPARE(log->txtLogWindow->toPlainText(), QStringLiteral("Info: while closed\n"));
        }
        FormMain again;
        again.show();
        again.logControls().openLogWindow();
        QCOMPARE(again.logControls().logWindow()->geometry(), placed);
    }

    void findHighlightsEveryMatch_data() {
        QTest::addColumn<QString>("term");
        QTest::addColumn<bool>("matchCase");
        QTest::addColumn<QStringList>("keys"); // F3, Shift+F3, Enter, Shift+Enter
        QTest::addColumn<QString>("result");
        QTest::addColumn<int>("selectedLine");
        QTest::newRow("as typed: the first match")
            << "alpha" << false << QStringList{} << "1 of 3" << 0;
        QTest::newRow("match case") << "alpha" << true << QStringList{} << "1 of 1" << 1;
        QTest::newRow("next twice")
            << "alpha" << false << QStringList{"F3", "Enter"} << "3 of 3" << 2;
        QTest::newRow("previous wraps round")
            << "alpha" << false << QStringList{"Shift+F3"} << "3 of 3" << 2;
        QTest::newRow("next wraps round")
            << "ALPHA" << false << QStringList{"F3", "F3", "Shift+Enter", "F3", "F3"} << "1 of 3"
            << 0;
        QTest::newRow("no match") << "delta" << false << QStringList{"F3"} << "No match" << -1;
    }
    void findHighlightsEveryMatch() {
        QFETCH(QString, term);
        QFETCH(bool, matchCase);
        QFETCH(QStringList, keys);
        QFETCH(QString, result);
        QFETCH(int, selectedLine);
        FormMain w;
        w.show();
        w.updateLog(QStringLiteral("Alpha beta\r\nalpha\r\nALPHA gamma"), LogCategory(0));
        w.logControls().openLogWindow();
        LogWindow* log = w.logControls().logWindow();
        QVERIFY(QTest::qWaitForWindowActive(log));
        QTest::keyClick(log->txtLogWindow, Qt::Key_F, Qt::ControlModifier);
        FindBar* bar = log->findBar;
        QVERIFY(bar->isVisible());
        QVERIFY(bar->txtFind->hasFocus());
        bar->CheckMatchCase->setChecked(matchCase);
        QTest::keyClicks(bar->txtFind, term);
        for (const QString& key : keys) {
            const auto modifiers = key.startsWith(u"Shift") ? Qt::ShiftModifier : Qt::NoModifier;
            QTest::keyClick(bar->txtFind, key.endsWith(u"F3") ? Qt::Key_F3 : Qt::Key_Return,
                            modifiers);
        }
        QCOMPARE(bar->lblFindResult->text(), result);
        QPlainTextEdit* box = log->txtLogWindow;
        QCOMPARE(box->extraSelections().size(), bar->matchCount());
        const QTextCursor at = box->textCursor();
        QCOMPARE(at.hasSelection(), selectedLine >= 0);
        if (selectedLine >= 0) {
            QCOMPARE(at.block().blockNumber(), selectedLine);
            QCOMPARE(at.selectedText().compare(term, Qt::CaseInsensitive), 0);
        }
        QTest::keyClick(bar->txtFind, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QVERIFY(box->extraSelections().isEmpty());
        QVERIFY(box->hasFocus());
    }

    void choicesAreStoredAndComeBackAtTheNextStart() {
        {
            FormMain w;
            LogActions& a = w.logControls().actions();
            a.showTimes->trigger();
            a.receivedAsHex->trigger();
            a.stripTerminalCodes->trigger();
            a.captureRaw->trigger();
        }
        QCOMPARE(stored(QStringLiteral("ShowTimes")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("ReceivedAs")), QStringLiteral("hex"));
        QCOMPARE(stored(QStringLiteral("StripTerminalCodes")), QStringLiteral("1"));
        QCOMPARE(stored(QStringLiteral("CaptureRaw")), QStringLiteral("1"));
        FormMain w;
        LogActions& a = w.logControls().actions();
        QVERIFY(a.showTimes->isChecked() && a.receivedAsHex->isChecked());
        QVERIFY(a.stripTerminalCodes->isChecked() && a.captureRaw->isChecked());
        w.updateLog(QStringLiteral("A"), LogCategory::Received);
        QVERIFY2(w.txtLog->toPlainText().contains(QRegularExpression(
                     QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d << 41 {47}A\n$"))),
                 qPrintable(w.txtLog->toPlainText()));

        // A value that means nothing is said once and leaves the default.
        SettingsStore::SaveSetting("Brovik", "Log", "ReceivedAs", "ebcdic");
        SettingsStore::SaveSetting("Brovik", "Log", "ShowTimes", "0");
        FormMain odd;
        QCOMPARE(odd.txtLog->toPlainText(),
                 QStringLiteral("Err: Log: [Log] ReceivedAs=ebcdic is not designed, utf8 or hex; "
                                "received data is shown as designed\n"));
        QVERIFY(odd.logControls().actions().receivedAsDesigned->isChecked());
    }

    void saveLogAsWritesTheLogAsShown() {
        QTemporaryDir dir;
        FormMain w;
        w.updateLog(QStringLiteral("caf\u00e9\r\n"), LogCategory::Received);
        const QString path = dir.filePath(QStringLiteral("saved.log"));
        QVERIFY(w.logControls().saveLog(w.txtLog, path));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), QByteArray("<< caf\xc3\xa9\n\n"));
        QCOMPARE(QFileInfo(path).permissions() & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());

        const QString fifo = dir.filePath(QStringLiteral("fifo"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QVERIFY(!w.logControls().saveLog(w.txtLog, fifo));
        QVERIFY(w.txtLog->toPlainText().endsWith(
            QStringLiteral("Err: Save Log: cannot save the log to %1: it is a FIFO (named pipe)\n")
                .arg(fifo)));
    }

    void everyNewControlIsNamedAndWorksFromTheKeyboard() {
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Ctrl+F over the main window: the small find window.
        QTest::keyClick(w.txtLog, Qt::Key_F, Qt::ControlModifier);
        FindDialog* find = w.logControls().findDialog();
        QVERIFY(find && find->isVisible());
        QCOMPARE(find->windowTitle(), QStringLiteral("Find in Log"));
        QTest::keyClick(find->findBar->txtFind, Qt::Key_Escape);
        QVERIFY(!find->isVisible());
        w.logControls().openLogWindow();
        for (QWidget* top :
             {static_cast<QWidget*>(w.logControls().logWindow()), static_cast<QWidget*>(find)}) {
            QVERIFY(!QAccessible::queryAccessibleInterface(top)->text(QAccessible::Name).isEmpty());
            for (QWidget* c : top->findChildren<QWidget*>()) {
                if (c->focusPolicy() == Qt::NoFocus || qobject_cast<QLabel*>(c))
                    continue;
                const QString name =
                    QAccessible::queryAccessibleInterface(c)->text(QAccessible::Name);
                QVERIFY2(!name.isEmpty(), qPrintable(c->objectName()));
            }
        }

        // Shift+F10 opens the context menu; its commands are named.
        QStringList seen;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            seen << QAccessible::queryAccessibleInterface(menu)->text(QAccessible::Name);
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    seen << a->text().remove(u'&');
            menu->close();
        });
        w.txtLog->setFocus();
        QTest::keyClick(w.txtLog, Qt::Key_F10, Qt::ShiftModifier);
        QCOMPARE(seen, (QStringList{"Log menu", "Open Log Window", "Find...", "Show Times",
                                    "Show Received As", "Strip Terminal Codes", "Save Log As...",
                                    "Capture to File...", "Capture Raw (Received Bytes Only)",
                                    "Copy", "Select All", "Clear Log"}));
    }
};

QTEST_MAIN(TestLogView)
#include "test_logview.moc"
