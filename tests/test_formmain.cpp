// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: start-up, the activity log, the status line, Exit, the
// controls that work the session, the keys and the layout.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/activitylog.h"
#include "ui/formmain.h"
#include "ui/statuspanel.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

class TestFormMain : public QObject {
    Q_OBJECT
    TestEnv env;

    static QString logOf(FormMain& w) { return w.txtLog->toPlainText(); }
    static QString status(FormMain& w) { return w.statusConnection->text(); }

private slots:
    void init() { env.clear(); }

    void firstRunConnectsWithTheDefaults() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        FormMain w;
        QCOMPARE(status(w), QString()); // empty until the first refresh
        w.load();
        QCOMPARE(logOf(w), QStringLiteral("Info: Loading settings...\nInfo: Connected to port\n"
                                          "Info: Ready!\n"));
        QCOMPARE(status(w), QStringLiteral("Connected to COM1:9600,n,8,1"));
        // The panel's tooltip (and accessible description) names the device.
        QCOMPARE(w.statusConnection->toolTip(), QStringLiteral("COM1 is ") + dev.path());
        QVERIFY(w.MSComm().PortOpen());
        // Centred on the screen at every start; the position is never stored.
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(w.pos(), QPoint((screen.width() - 424) / 2, (screen.height() - 301) / 2));
        QCOMPARE(w.terminal().AutoClearOnSend(), QVariant(QStringLiteral("1")));
        QCOMPARE(w.CheckCR->checkState(), Qt::Unchecked);
        QCOMPARE(w.CheckLF->checkState(), Qt::Unchecked);
    }

    void thePortOpensAndTheLogFillsJustAfterTheFirstFrame() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        FormMain w;
        bool loaded = false;
        w.loadAndShow([&] { loaded = w.MSComm().PortOpen(); });
        // The first frame lays out no line of the log either.
        QCOMPARE(logOf(w), QString());
        QVERIFY(!w.MSComm().PortOpen());
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(loaded);
        QCOMPARE(logOf(w), QStringLiteral("Info: Loading settings...\nInfo: Connected to port\n"
                                          "Info: Ready!\n"));
        QCOMPARE(status(w), QStringLiteral("Connected to COM1:9600,n,8,1"));
        QTRY_COMPARE(w.statusConnection->toolTip(), QStringLiteral("COM1 is ") + dev.path());
    }

    void anAbsentPortGivesOneLoadErrorAndNoStatus() {
        env.mapPort(1, env.configHome() + QStringLiteral("/unplugged"));
        FormMain w;
        w.load();
        const QStringList lines = logOf(w).split(u'\n');
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("Info: Loading settings..."));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Err: Load: COM1 (")), qPrintable(lines[1]));
        QVERIFY2(lines[1].contains(QStringLiteral("not present")), qPrintable(lines[1]));
        QCOMPARE(lines[2], QString());
        QCOMPARE(status(w), QString());
        QVERIFY(!w.MSComm().PortOpen());
    }

    void aPortHeldElsewhereIsReported() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort holder(storedPortEntries());
        holder.setPortOpen(true);
        FormMain w;
        w.load();
        QVERIFY2(logOf(w).contains(QStringLiteral("Err: Load: cannot open COM1 (") + dev.path() +
                                   QStringLiteral("): the device is in use by another program")),
                 qPrintable(logOf(w)));
        QCOMPARE(status(w), QString());
    }

    void storedSettingsAreUsedAtStart() {
        PtyDevice dev;
        env.writeSettingsFile("[General]\nSendCR=1\nSendLF=2\nAutoClearOnSend=0\n"
                              "[COM]\nPort=3\nSettings=19200,n,8,1\nHandShaking=2\n");
        env.mapPort(3, dev.path());
        FormMain w;
        w.load();
        QCOMPARE(status(w), QStringLiteral("Connected to COM3:19200,n,8,1"));
        QCOMPARE(w.CheckCR->checkState(), Qt::Checked);
        QCOMPARE(w.CheckLF->checkState(), Qt::PartiallyChecked);
        QCOMPARE(w.MSComm().Handshaking(), 2);
        QCOMPARE(w.terminal().AutoClearOnSend(), QVariant(QStringLiteral("0")));

        // A click on the greyed box makes it an ordinary two-state box.
        w.CheckLF->click();
        QCOMPARE(w.CheckLF->checkState(), Qt::Checked);
        w.CheckLF->click();
        QCOMPARE(w.CheckLF->checkState(), Qt::Unchecked);
        w.CheckLF->click();
        QCOMPARE(w.CheckLF->checkState(), Qt::Checked);
        QCOMPARE(w.terminal().lineEnds().sendLF, qint16(1));
    }

    // The window hands its fields to the session and shows what it reports.
    void theControlsWorkTheSession() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SettingsStore::SaveSetting("Brovik", "Outputs", "Output1", "AT0x0Dh");
        QTemporaryDir files;
        const QString path = files.filePath(QStringLiteral("abc.txt"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("ABC") == 3);
        file.close();
        FormMain w;
        w.load();
        w.btClear_Click();
        w.Timer->stop();

        w.CheckCR->setCheckState(Qt::Checked);
        w.CheckLF->setTristate(true);
        w.CheckLF->setCheckState(Qt::PartiallyChecked);
        QCOMPARE(w.terminal().lineEnds().sendCR, qint16(1));
        QCOMPARE(w.terminal().lineEnds().sendLF, qint16(2));

        w.txtDataSend->setText(QStringLiteral("untouched"));
        w.outputCmd[0]->click();
        QCOMPARE(dev.read(3), QByteArray("AT\r"));
        QCOMPARE(w.txtDataSend->text(), QStringLiteral("untouched"));
        w.txtFileSend->setText(path);
        w.btSendFile->click();
        QCOMPARE(dev.read(3), QByteArray("ABC"));
        w.btSendData->click();
        QCOMPARE(dev.read(10), QByteArray("untouched\r"));
        QCOMPARE(w.txtDataSend->text(), QString()); // auto-clear defaults to on
        QCOMPARE(logOf(w), QStringLiteral(">> AT\n\nInfo: Sending 3 bytes...\n>> File ") + path +
                               QStringLiteral("\n>> untouched\n\n"));
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

        dev.write("OK");
        QTRY_COMPARE(w.MSComm().InBufferCount(), 2);
        w.Timer_Timer();
        QVERIFY(logOf(w).endsWith(QStringLiteral("\n<< OK\n")));
    }

    void logEntriesHaveTheirPrefixesAndLineBreaks() {
        FormMain w;
        w.updateLog(QStringLiteral("A"), LogCategory::Info);
        w.updateLog(QStringLiteral("B"), LogCategory::Info);
        QCOMPARE(logOf(w), QStringLiteral("Info: A\nInfo: B\n"));
        QCOMPARE(w.txtLog->textCursor().position(), logOf(w).size());

        w.btClear_Click();
        QCOMPARE(logOf(w), QString());
        w.updateLog(QStringLiteral("OK\r\n"), LogCategory::Received);
        w.updateLog(QString(), LogCategory::Sent);
        w.updateLog(QStringLiteral("no prefix"), LogCategory(0));
        w.updateLog(QStringLiteral("none either"), LogCategory(5));
        w.updateLog(QStringLiteral("Load: broken"), LogCategory::Error);
        w.updateLog(QStringLiteral("one\rtwo\nthree"), LogCategory::Received);
        QCOMPARE(logOf(w),
                 QStringLiteral("<< OK\n\n>> \nno prefix\nnone either\nErr: Load: broken\n"
                                "<< one\ntwo\nthree\n"));
        QCOMPARE(w.txtLog->textCursor().position(), logOf(w).size());
    }

    void userTextInTheLogStaysBeforeNewEntries() {
        FormMain w;
        w.txtLog->setPlainText(QStringLiteral("typed note"));
        w.updateLog(QStringLiteral("next"), LogCategory::Info);
        QCOMPARE(logOf(w), QStringLiteral("typed noteInfo: next\n"));
    }

    void theLogKeepsItsNewestLinesBeyondItsCapacity() {
        FormMain w;
        const int cap = ActivityLog::CapacityLines;
        QString burst;
        for (int i = 0; i < cap + 500; ++i)
            burst += QStringLiteral("line %1\r\n").arg(i);
        w.updateLog(burst, LogCategory::Received);
        w.updateLog(QStringLiteral("after"), LogCategory::Info);
        QString text = logOf(w);
        QVERIFY(text.endsWith(QStringLiteral("line %1\n\nInfo: after\n").arg(cap + 499)));
        // The newest lines, the burst's trailing empty one and "after" included.
        QVERIFY(text.startsWith(QStringLiteral("line 502\n")));
        QCOMPARE(w.txtLog->document()->blockCount(), cap + 1);

        // Steady appends: the log stays at its capacity.
        for (int i = 0; i < 3 * cap; ++i) {
            w.updateLog(QStringLiteral("entry %1").arg(i), LogCategory::Info);
            const int blocks = w.txtLog->document()->blockCount();
            QVERIFY2(blocks <= cap + 1, qPrintable(QString::number(blocks)));
        }
        text = logOf(w);
        QVERIFY(text.endsWith(QStringLiteral("Info: entry %1\n").arg(3 * cap - 1)));
        QVERIFY(text.startsWith(QStringLiteral("Info: entry %1\n").arg(2 * cap)));
        QCOMPARE(w.loggedCharacters(LogCategory::Received), qint64(burst.size()));
        QCOMPARE(w.txtLog->textCursor().position(), text.size());
    }

    void receivedBytesAreLoggedAsTheirTextWouldBe_data() {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray all;
        for (int i = 0; i < 256; ++i)
            all.append(static_cast<char>(i));
        QTest::newRow("every byte value") << all;
        QTest::newRow("each kind of line end") << QByteArray("a\r\nb\rc\nd\r");
        QTest::newRow("a line shown in pieces") << QByteArray(2500, 'z');
        QByteArray most;
        for (int i = 0; i < ActivityLog::CapacityLines * 3 / 4; ++i)
            most += "line " + QByteArray::number(i) + "\r\n";
        QTest::newRow("most of the capacity") << most;
        QTest::newRow("beyond the capacity") << most + most;
    }
    void receivedBytesAreLoggedAsTheirTextWouldBe() {
        QFETCH(QByteArray, bytes);
        QPlainTextEdit asText;
        QPlainTextEdit asBytes;
        asText.setUndoRedoEnabled(false);
        asBytes.setUndoRedoEnabled(false);
        ActivityLog textLog(&asText);
        ActivityLog byteLog(&asBytes);
        int largest = 0;
        connect(asBytes.document(), &QTextDocument::blockCountChanged, this,
                [&](int blocks) { largest = std::max(largest, blocks); });
        // Twice: the second append must make room before it goes in.
        for (int round = 0; round < 2; ++round) {
            textLog.updateLog(QString::fromLatin1(bytes), LogCategory::Received);
            byteLog.updateLogBytes(bytes, LogCategory::Received);
        }
        QCOMPARE(asBytes.toPlainText(), asText.toPlainText());
        QCOMPARE(byteLog.loggedCharacters(LogCategory::Received), 2 * bytes.size());
        QVERIFY2(largest <= ActivityLog::CapacityLines + 1, qPrintable(QString::number(largest)));
    }

    void longLinesAreShownInPiecesWithNothingLost() {
        FormMain w;
        QString line;
        for (int i = 0; i < 2500; ++i)
            line += QChar(u'a' + i % 26);
        w.updateLog(line, LogCategory::Received);
        w.updateLog(QStringLiteral("x\r\n") + line.left(ActivityLog::LineLength) + u'\n',
                    LogCategory::Sent);
        const QStringList shown = logOf(w).split(u'\n');
        QCOMPARE(shown.size(), 7);
        QCOMPARE(shown[0].size(), ActivityLog::LineLength);
        QCOMPARE(QString(shown[0] + shown[1] + shown[2]), QStringLiteral("<< ") + line);
        QCOMPARE(shown[3], QStringLiteral(">> x"));
        QCOMPARE(shown[4], line.left(ActivityLog::LineLength)); // exactly full: no extra break
        QCOMPARE(shown[5], QString());
        QCOMPARE(w.loggedCharacters(LogCategory::Received), 2500);
    }

    void statusLineShowsTheLivePort() {
        PtyDevice dev;
        env.mapPort(12, dev.path());
        FormMain w;
        w.MSComm().setCommPort(12);
        w.MSComm().setSettings(QStringLiteral("19200,n,8,1"));
        w.MSComm().setPortOpen(true);
        w.updateCommStatus();
        QCOMPARE(status(w), QStringLiteral("Connected to COM12:19200,n,8,1"));
        w.MSComm().setPortOpen(false);
        w.updateCommStatus();
        QCOMPARE(status(w),
                 QStringLiteral("Disconnected. Please select your COM port from options."));
    }

    void exitSavesTheSixKeysAndTheFrameSavesNothing() {
        PtyDevice dev;
        env.writeSettingsFile("[General]\nAutoClearOnSend=yes please\n[COM]\nPort=2\n");
        env.mapPort(2, dev.path());
        {
            FormMain w;
            w.load();
            w.CheckCR->setCheckState(Qt::Checked);
            w.close(); // through the frame: nothing saved
        }
        QCOMPARE(SettingsStore::GetSetting("Brovik", "General", "SendCR", "absent"),
                 QStringLiteral("absent"));
        {
            FormMain w;
            w.load();
            w.CheckCR->setCheckState(Qt::Checked);
            w.MSComm().setPortOpen(false);
            w.btExit_Click();
            QCOMPARE(status(w),
                     QStringLiteral("Disconnected. Please select your COM port from options."));
            QVERIFY(!w.isVisible());
        }
        auto get = [](const char* s, const char* k) {
            return SettingsStore::GetSetting("Brovik", s, k, "absent");
        };
        QCOMPARE(get("General", "AutoClearOnSend"), QStringLiteral("yes please"));
        QCOMPARE(get("General", "SendCR"), QStringLiteral("1"));
        QCOMPARE(get("General", "SendLF"), QStringLiteral("0"));
        QCOMPARE(get("COM", "Port"), QStringLiteral("2"));
        QCOMPARE(get("COM", "Settings"), QStringLiteral("9600,n,8,1"));
        QCOMPARE(get("COM", "HandShaking"), QStringLiteral("0"));
    }

    void theWindowIsLaidOutAsDesigned() {
        FormMain w;
        QCOMPARE(w.objectName(), QStringLiteral("formMain"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Brovik"));
        QCOMPARE(w.size(), QSize(424, 301));
        QCOMPARE(w.minimumSize(), w.maximumSize()); // fixed border
        QVERIFY(w.windowFlags() & Qt::WindowMinimizeButtonHint);
        QVERIFY(!(w.windowFlags() & Qt::WindowMaximizeButtonHint));

        struct Expect {
            const char* name;
            QRect rect;
            QString text;
        };
        const QList<Expect> controls = {
            {"Label1", {10, 80, 27, 15}, "Data:"},
            {"txtDataSend", {40, 75, 213, 19}, ""},
            {"CheckCR", {260, 80, 36, 16}, "CR"},
            {"CheckLF", {300, 80, 36, 16}, "LF"},
            {"btSendData", {340, 75, 76, 21}, "&Send Data"},
            {"Label2", {10, 105, 26, 16}, "File:"},
            {"txtFileSend", {40, 100, 213, 19}, ""},
            {"btChooseFile", {260, 100, 76, 21}, "File..."},
            {"btSendFile", {340, 100, 76, 21}, "Send &File"},
            {"txtLog", {5, 140, 246, 136}, ""},
            {"Label3", {255, 140, 111, 16}, "Predefined Outputs"},
            {"Label4", {5, 55, 76, 16}, "Send to Port"},
            {"outputCmd0", {260, 160, 36, 21}, "Out1"},
            {"outputCmd3", {380, 160, 36, 21}, "Out4"},
            {"outputCmd4", {260, 190, 36, 21}, "Out5"},
            {"outputCmd7", {380, 190, 36, 21}, "Out8"},
            {"btOptions", {260, 230, 76, 21}, "&Options"},
            {"btAbout", {340, 230, 76, 21}, "&About"},
            {"btClear", {260, 255, 76, 21}, "< &Clear Log"},
            {"btExit", {340, 255, 76, 21}, "E&xit"},
            {"PictureHead", {0, 0, 426, 51}, ""},
            {"StatusBar", {0, 282, 424, 19}, ""},
        };
        for (const Expect& e : controls) {
            auto* c = w.findChild<QWidget*>(QLatin1String(e.name));
            QVERIFY2(c, e.name);
            QCOMPARE(c->geometry(), e.rect);
            if (auto* b = qobject_cast<QAbstractButton*>(c))
                QCOMPARE(b->text(), e.text);
            if (auto* l = qobject_cast<QLabel*>(c); l && !e.text.isEmpty())
                QCOMPARE(l->text(), e.text);
        }
        QVERIFY(w.Label1->alignment() & Qt::AlignRight);
        QVERIFY(w.Label3->font().bold() && w.Label4->font().bold());
        QCOMPARE(w.txtDataSend->toolTip(),
                 QStringLiteral("Use 0xNNh to send control chars i.e. 0x08h for backspace"));
        QCOMPARE(w.btChooseFile->toolTip(), QStringLiteral("Choose file to send"));
        QVERIFY(!w.txtLog->isReadOnly());
        QCOMPARE(w.Timer->interval(), 500);
        QVERIFY(w.Timer->isActive());
        QCOMPARE(w.txtDataSend->text(), QString());
        QCOMPARE(w.txtFileSend->text(), QString());
    }

    void focusStartsInTheDataFieldAndTabFollowsTheDesign() {
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), w.txtDataSend);
        const QList<QWidget*> order = {
            w.CheckCR,      w.CheckLF,      w.btSendData,   w.txtFileSend,  w.btChooseFile,
            w.btSendFile,   w.outputCmd[0], w.outputCmd[1], w.outputCmd[2], w.outputCmd[3],
            w.outputCmd[4], w.outputCmd[5], w.outputCmd[6], w.outputCmd[7], w.btOptions,
            w.btAbout,      w.btClear,      w.txtLog,       w.btExit,       w.txtDataSend};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
    }

    void enterPressesSendDataFromAnyControlButAButton() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        FormMain w;
        w.load();
        w.btClear_Click();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.terminal().setAutoClearOnSend(0);
        w.txtDataSend->setText(QStringLiteral("x"));
        for (QWidget* from :
             {static_cast<QWidget*>(w.txtDataSend), static_cast<QWidget*>(w.CheckCR),
              static_cast<QWidget*>(w.txtFileSend), static_cast<QWidget*>(w.txtLog)}) {
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Return);
            QCOMPARE(dev.read(1), QByteArray("x"));
        }
        QTest::keyClick(w.txtDataSend, Qt::Key_Enter); // keypad Enter
        QCOMPARE(dev.read(1), QByteArray("x"));

        // Ctrl+Enter in the log is a line break, not a send.
        const QString before = logOf(w);
        w.txtLog->setFocus();
        QTest::keyClick(w.txtLog, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(logOf(w), before + u'\n');
        QCOMPARE(dev.readAvailable(), QByteArray());

        // On a push button Enter presses that button.
        w.btClear->setFocus();
        QTest::keyClick(w.btClear, Qt::Key_Return);
        QCOMPARE(logOf(w), QString());
        QCOMPARE(dev.readAvailable(), QByteArray());

        // Enter inside the file dialog belongs to the dialog.
        QTimer::singleShot(0, &w, [&] {
            auto* name = w.CommonDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(dev.path());
            QTest::keyClick(name, Qt::Key_Return);
            if (w.CommonDialog->isVisible())
                w.CommonDialog->reject();
        });
        w.btChooseFile_Click();
        QCOMPARE(w.txtFileSend->text(), dev.path());
        QCOMPARE(dev.readAvailable(), QByteArray());

        // Escape does nothing.
        QTest::keyClick(w.txtDataSend, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(w.txtDataSend->text(), QStringLiteral("x"));
    }

    void theFileDialogSetsThePathOrLeavesIt() {
        QTemporaryDir files;
        FormMain w;
        QCOMPARE(w.commonDialog()->windowTitle(), QStringLiteral("Open"));
        QCOMPARE(w.commonDialog()->nameFilters(), QStringList{QStringLiteral("All files (*)")});
        const QString chosen = files.filePath(QStringLiteral("no-dot-name"));
        QFile f(chosen);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        w.txtFileSend->setText(QStringLiteral("earlier"));

        QTimer::singleShot(0, this, [&] {
            w.CommonDialog->selectFile(chosen);
            static_cast<QDialog*>(w.CommonDialog)->accept();
        });
        w.btChooseFile_Click();
        QCOMPARE(w.txtFileSend->text(), chosen);

        QTimer::singleShot(0, this, [&] { w.CommonDialog->reject(); });
        w.btChooseFile_Click();
        QCOMPARE(w.txtFileSend->text(), chosen);
        QCOMPARE(w.CommonDialog->directory().absolutePath(), files.path());
    }

    void theStatusBarHasItsTwoPanels() {
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.statusClock->width(), 60);
        QVERIFY(w.statusConnection->width() >= 340);
        QVERIFY(!w.statusClock->text().isEmpty());
    }
};

QTEST_MAIN(TestFormMain)
#include "test_formmain.moc"
