// SPDX-License-Identifier: GPL-3.0-or-later
// Typing and sending through a pseudo-terminal device, and receiving by
// polling, in a terminal session without a window.
#include "base/failure.h"
#include "serial/serialport.h"
#include "support/ptyterminalfixture.h"
#include "support/refusingport.h"

#include <QTest>
#include <QTimer>

class TestSending : public PtyTerminalFixture {
    Q_OBJECT

    QStringList logLines() const { return logText().split(u'\n'); }

private slots:

    void aTypedLineGoesOutDecodedWithItsLineEnd() {
        start();
        t->setLineEnds({0, 1});
        // The field is to be emptied: auto-clear defaults to on.
        QVERIFY(t->sendDataField(QStringLiteral("ATZ0x0Dh")));
        QCOMPARE(dev->read(5), QByteArray("ATZ\r\n"));
        QCOMPARE(logText(), QStringLiteral(">> ATZ\n\n"));
        QVERIFY(!pointer->busy);

        // The reply shows as one Received entry within one tick.
        dev->write("OK\r\n");
        QTRY_VERIFY(t->port().InBufferCount() == 4);
        t->tick();
        QCOMPARE(logText(), QStringLiteral(">> ATZ\n\n<< OK\n\n"));
    }

    void lineEndsFollowTheirStates_data() {
        QTest::addColumn<int>("cr");
        QTest::addColumn<int>("lf");
        QTest::addColumn<QByteArray>("wire");
        QTest::newRow("both") << 1 << 1 << QByteArray("ABC\r\n");
        QTest::newRow("LF only") << 0 << 1 << QByteArray("ABC\n");
        QTest::newRow("CR only") << 1 << 0 << QByteArray("ABC\r");
        QTest::newRow("none") << 0 << 0 << QByteArray("ABC");
        QTest::newRow("greyed boxes add nothing") << 2 << 2 << QByteArray("ABC");
    }
    void lineEndsFollowTheirStates() {
        QFETCH(int, cr);
        QFETCH(int, lf);
        QFETCH(QByteArray, wire);
        start();
        t->setLineEnds({qint16(cr), qint16(lf)});
        t->sendDataField(QStringLiteral("ABC"));
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
        t->sendDataField(typed);
        QCOMPARE(dev->read(256), expected);
        QCOMPARE(record->characters(LogCategory::Sent), 256);
    }

    void charactersBeyondOneByteGoOutAsUtf8() {
        start();
        t->sendDataField(QStringLiteral("\u00b5\u03a9\u20ac"));
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
        t->setAutoClearOnSend(flag);
        QCOMPARE(t->sendDataField(QStringLiteral("hello")), clears);
        QCOMPARE(dev->read(5), QByteArray("hello"));
    }

    void aClosedPortSendsNothingButStillClears() {
        start();
        t->port().setPortOpen(false);
        QVERIFY(t->sendDataField(QStringLiteral("lost?")));
        QCOMPARE(logText(), QString());
        QVERIFY(!pointer->busy);
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void anEmptyFieldDoesNothing() {
        start();
        t->setAutoClearOnSend(1);
        t->setLineEnds({1, 0});
        QVERIFY(!t->sendDataField(QString()));
        t->SendData(QString());
        QCOMPARE(logText(), QString());
        QCOMPARE(pointer->shapes, QStringList()); // not even a pointer change
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void aRefusedWriteIsOneErrorLineAndNoSentLine() {
        auto port = std::make_unique<RefusingPort>();
        RefusingPort* refusing = port.get();
        start(std::move(port));
        const QString text = QStringLiteral("0x1Bh[2J");
        t->SendData(text);
        QCOMPARE(text, QStringLiteral("0x1Bh[2J")); // the caller's text is untouched
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Err: SendData: cannot write to COM1")),
                 qPrintable(lines[0]));
        QVERIFY(!pointer->busy);

        refusing->refuse = false;
        t->SendData(text);
        QCOMPARE(dev->read(4), QByteArray("\x1b[2J"));
        QVERIFY(logText().endsWith(QStringLiteral(">> \x1b[2J\n")));
    }

    void nestedSendsKeepTheWireInOrder() {
        start();
        // A click queued before the send runs inside its yield, under the busy pointer.
        bool busyInside = false;
        QTimer::singleShot(0, t.get(), [&] {
            busyInside = pointer->busy;
            t->SendData(QStringLiteral("inner"));
        });
        t->SendData(QStringLiteral("outer"));
        QVERIFY(busyInside);
        QVERIFY(!pointer->busy);
        QCOMPARE(dev->read(10), QByteArray("outerinner"));
        // The inner Sent line comes first: it was logged inside the outer yield.
        QCOMPARE(logText(), QStringLiteral(">> inner\n>> outer\n"));
    }

    void eachTickLogsWhatArrivedSinceTheLast() {
        start();
        dev->write("O");
        QTRY_VERIFY_WITH_TIMEOUT(t->port().InBufferCount() == 1, 3000);
        t->tick();
        dev->write("K\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(t->port().InBufferCount() == 3, 3000);
        t->tick();
        t->tick(); // nothing waiting: no entry
        QCOMPARE(logText(), QStringLiteral("<< O\n<< K\n\n"));

        t->port().setPortOpen(false);
        dev->write("ignored while closed");
        t->tick();
        QCOMPARE(logText(), QStringLiteral("<< O\n<< K\n\n"));
    }

    void aPulledDeviceIsReportedOnceAndDoesNotSpin() {
        start();
        t->updateCommStatus();
        dev->write("bye");
        QTRY_VERIFY_WITH_TIMEOUT(t->port().InBufferCount() == 3, 3000);
        dev->hangUp();

        // Let the event loop run a while: a hung-up tty must not keep it busy.
        const clock_t before = std::clock();
        QTest::qWait(600);
        const double cpu = double(std::clock() - before) / CLOCKS_PER_SEC;
        QVERIFY2(cpu < 0.4, qPrintable(QStringLiteral("%1 s of CPU while idle").arg(cpu)));

        for (int i = 0; i < 3; ++i)
            t->tick();
        const QStringList lines = logLines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QStringLiteral("<< bye"));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Err: Receive: COM1 (")), qPrintable(lines[1]));
        QCOMPARE(record->status(),
                 QStringLiteral("Disconnected. Please select your COM port from options."));
    }
};

QTEST_GUILESS_MAIN(TestSending)
#include "test_sending.moc"
