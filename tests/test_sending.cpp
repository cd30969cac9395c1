// Typing and sending through a pseudo-terminal device, receiving by polling,
// and the main window's Enter key.
#include "base/failure.h"
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/settingsstore.h"
#include "support/ptywindowfixture.h"
#include "support/refusingport.h"
#include "ui/formmain.h"
#include "ui/statuspanel.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestSending : public PtyWindowFixture {
    Q_OBJECT

    QStringList logLines() const { return logText().split(u'\n'); }

    static bool pointerIsDefault(QWidget*) { return QGuiApplication::overrideCursor() == nullptr; }

private slots:

    void aTypedLineGoesOutDecodedWithItsLineEnd() {
        start();
        w->CheckLF->setCheckState(Qt::Checked);
        w->txtDataSend->setText(QStringLiteral("ATZ0x0Dh"));
        w->btSendData->click();
        QCOMPARE(dev->read(5), QByteArray("ATZ\r\n"));
        QCOMPARE(logText(), QStringLiteral(">> ATZ\n\n"));
        QCOMPARE(w->txtDataSend->text(), QString()); // auto-clear defaults to on
        QVERIFY(pointerIsDefault(w.get()));

        // The reply shows as one Received entry within one tick.
        dev->write("OK\r\n");
        QTRY_COMPARE_WITH_TIMEOUT(logText(), QStringLiteral(">> ATZ\n\n<< OK\n\n"), 1500);
    }

    void lineEndsFollowTheCheckBoxes_data() {
        QTest::addColumn<int>("cr");
        QTest::addColumn<int>("lf");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("both") << 1 << 1 << QByteArray("ABC\r\n");
        QTest::newRow("LF only") << 0 << 1 << QByteArray("ABC\n");
        QTest::newRow("CR only") << 1 << 0 << QByteArray("ABC\r");
        QTest::newRow("none") << 0 << 0 << QByteArray("ABC");
        QTest::newRow("greyed boxes add nothing") << 2 << 2 << QByteArray("ABC");
    }
    void lineEndsFollowTheCheckBoxes() {
        QFETCH(int, cr);
        QFETCH(int, lf);
        QFETCH(QByteArray, wire);
        start();
        for (auto [box, state] : {std::pair{w->CheckCR, cr}, std::pair{w->CheckLF, lf}}) {
            box->setTristate(state == 2);
            box->setCheckState(state == 1   ? Qt::Checked
                               : state == 2 ? Qt::PartiallyChecked
                                            : Qt::Unchecked);
        }
        w->txtDataSend->setText(QStringLiteral("ABC"));
        w->btSendData_Click();
        QCOMPARE(dev->read(wire.size()), wire);
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void everyByteValueGoesOutThroughEscapes() {
        start();
        QString typed;
        QByteArray expected;
        for (int i = 0; i < 256; ++i) {
            typed += QStringLiteral("0x%1h").arg(i, 2, 16, QChar(u'0'));
            expected.append(static_cast<char>(i));
        }
        w->txtDataSend->setText(typed);
        w->btSendData_Click();
        QCOMPARE(dev->read(256), expected);
        QCOMPARE(w->loggedCharacters(LogCategory::Sent), 256);
    }

    void charactersBeyondOneByteGoOutAsUtf8() {
        start();
        w->txtDataSend->setText(QStringLiteral("\u00b5\u03a9\u20ac"));
        w->btSendData_Click();
        QCOMPARE(dev->read(6), QByteArray("\xb5\xce\xa9\xe2\x82\xac"));
    }

    void theAutoClearFlagIsReadAsANumber_data() {
        QTest::addColumn<QVariant>("flag");
        QTest::addColumn<bool>("clears");
        QTest::newRow("text 1") << QVariant(QStringLiteral("1")) << true;
        QTest::newRow("text 0") << QVariant(QStringLiteral("0")) << false;
        QTest::newRow("integer 1") << QVariant(1) << true;
        QTest::newRow("integer 0") << QVariant(0) << false;
        QTest::newRow("greyed 2") << QVariant(2) << true;
        QTest::newRow("nothing") << QVariant() << false;
        QTest::newRow("letters") << QVariant(QStringLiteral("yes")) << false;
        QTest::newRow("empty text") << QVariant(QString()) << false;
    }
    void theAutoClearFlagIsReadAsANumber() {
        QFETCH(QVariant, flag);
        QFETCH(bool, clears);
        start();
        w->terminal().setAutoClearOnSend(flag);
        w->txtDataSend->setText(QStringLiteral("hello"));
        w->btSendData_Click();
        QCOMPARE(dev->read(5), QByteArray("hello"));
        QCOMPARE(w->txtDataSend->text(), clears ? QString() : QStringLiteral("hello"));
    }

    void aClosedPortSendsNothingButStillClears() {
        start();
        w->MSComm().setPortOpen(false);
        w->txtDataSend->setText(QStringLiteral("lost?"));
        w->btSendData_Click();
        QCOMPARE(logText(), QString());
        QCOMPARE(w->txtDataSend->text(), QString());
        QVERIFY(pointerIsDefault(w.get()));
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void anEmptyFieldDoesNothing() {
        start();
        w->terminal().setAutoClearOnSend(1);
        w->CheckCR->setCheckState(Qt::Checked);
        w->btSendData_Click();
        w->SendData(QString());
        QCOMPARE(logText(), QString());
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void aRefusedWriteIsOneErrorLineAndNoSentLine() {
        auto port = std::make_unique<RefusingPort>();
        RefusingPort* refusing = port.get();
        start(std::move(port));
        const QString text = QStringLiteral("0x1Bh[2J");
        w->SendData(text);
        QCOMPARE(text, QStringLiteral("0x1Bh[2J")); // the caller's text is untouched
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Err: SendData: cannot write to COM1")),
                 qPrintable(lines[0]));
        QVERIFY(pointerIsDefault(w.get()));

        refusing->refuse = false;
        w->SendData(text);
        QCOMPARE(dev->read(5), QByteArray("\x1b[2J"));
        QVERIFY(logText().endsWith(QStringLiteral(">> \x1b[2J\n")));
    }

    void nestedSendsKeepTheWireInOrder() {
        start();
        // A click queued before the send runs inside its yield, under the busy pointer.
        bool busyInside = false;
        QTimer::singleShot(0, w.get(), [&] {
            busyInside = QGuiApplication::overrideCursor() &&
                         QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
            w->SendData(QStringLiteral("inner"));
        });
        w->SendData(QStringLiteral("outer"));
        QVERIFY(busyInside);
        QVERIFY(pointerIsDefault(w.get()));
        QCOMPARE(dev->read(10), QByteArray("outerinner"));
        // The inner Sent line comes first: it was logged inside the outer yield.
        QCOMPARE(logText(), QStringLiteral(">> inner\n>> outer\n"));
    }

    void eachTickLogsWhatArrivedSinceTheLast() {
        start();
        w->Timer->stop(); // drive the ticks by hand
        dev->write("O");
        QTRY_VERIFY_WITH_TIMEOUT(w->MSComm().InBufferCount() == 1, 3000);
        w->Timer_Timer();
        dev->write("K\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(w->MSComm().InBufferCount() == 3, 3000);
        w->Timer_Timer();
        w->Timer_Timer(); // nothing waiting: no entry
        QCOMPARE(logText(), QStringLiteral("<< O\n<< K\n\n"));

        w->MSComm().setPortOpen(false);
        dev->write("ignored while closed");
        w->Timer_Timer();
        QCOMPARE(logText(), QStringLiteral("<< O\n<< K\n\n"));
    }

    void aPulledDeviceIsReportedOnceAndDoesNotSpin() {
        start();
        w->Timer->stop();
        w->updateCommStatus();
        dev->write("bye");
        QTRY_VERIFY_WITH_TIMEOUT(w->MSComm().InBufferCount() == 3, 3000);
        dev->hangUp();

        // Let the event loop run a while: a hung-up tty must not keep it busy.
        const clock_t before = std::clock();
        QTest::qWait(600);
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
        QVERIFY2(cpu < 0.4, qPrintable(QStringLiteral("%1 s of CPU while idle").arg(cpu)));

        for (int i = 0; i < 3; ++i)
            w->Timer_Timer();
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("<< bye"));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Err: Receive: COM1 (")), qPrintable(lines[1]));
        QCOMPARE(w->statusConnection->text(),
                 QStringLiteral("Disconnected. Please select your COM port from options."));
    }

    void enterPressesSendDataFromAnyControlButAButton() {
        start();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        w->terminal().setAutoClearOnSend(0);
        w->txtDataSend->setText(QStringLiteral("x"));
        for (QWidget* from :
             {static_cast<QWidget*>(w->txtDataSend), static_cast<QWidget*>(w->CheckCR),
              static_cast<QWidget*>(w->txtFileSend), static_cast<QWidget*>(w->txtLog)}) {
            from->setFocus();
            QTest::keyClick(from, Qt::Key_Return);
            QCOMPARE(dev->read(1), QByteArray("x"));
        }
        QTest::keyClick(w->txtDataSend, Qt::Key_Enter); // keypad Enter
        QCOMPARE(dev->read(1), QByteArray("x"));

        // Ctrl+Enter in the log is a line break, not a send.
        const QString before = logText();
        w->txtLog->setFocus();
        QTest::keyClick(w->txtLog, Qt::Key_Return, Qt::ControlModifier);
        QCOMPARE(logText(), before + u'\n');
        QCOMPARE(dev->readAvailable(), QByteArray());

        // On a push button Enter presses that button.
        w->btClear->setFocus();
        QTest::keyClick(w->btClear, Qt::Key_Return);
        QCOMPARE(logText(), QString());
        QCOMPARE(dev->readAvailable(), QByteArray());

        // Enter inside the file dialog belongs to the dialog.
        QTimer::singleShot(0, w.get(), [this] {
            auto* name = w->CommonDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(name);
            name->setText(dev->path());
            QTest::keyClick(name, Qt::Key_Return);
            if (w->CommonDialog->isVisible())
                w->CommonDialog->reject();
        });
        w->btChooseFile_Click();
        QCOMPARE(w->txtFileSend->text(), dev->path());
        QCOMPARE(dev->readAvailable(), QByteArray());

        // Escape does nothing.
        QTest::keyClick(w->txtDataSend, Qt::Key_Escape);
        QVERIFY(w->isVisible());
        QCOMPARE(w->txtDataSend->text(), QStringLiteral("x"));
    }
};

QTEST_MAIN(TestSending)
#include "test_sending.moc"
