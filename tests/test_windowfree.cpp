// SPDX-License-Identifier: GPL-3.0-or-later
// The window-free parts on their own, with no window and no QApplication:
// the skeleton of the routines that write to the port, the data field's
// line ends, the receive tick's loss report and the status line's details.
#include "base/logsink.h"
#include "serial/connectionstatus.h"
#include "serial/receivepoller.h"
#include "serial/serialport.h"
#include "settings/portentries.h"
#include "support/ptydevice.h"
#include "support/refusingport.h"
#include "support/testenv.h"
#include "transmit/datafield.h"
#include "transmit/filesend.h"
#include "transmit/sendpipeline.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace {

struct RecordingLog : LogSink {
    QStringList lines;
    void updateLog(const QString& Data, LogCategory Cat) override {
        lines << QString::number(static_cast<int>(Cat)) + u':' + Data;
    }
};

struct RecordingPointer : BusyPointer {
    QStringList shapes;
    void setBusyPointer() override { shapes << QStringLiteral("busy"); }
    void setDefaultPointer() override { shapes << QStringLiteral("default"); }
};

} // namespace

class TestWindowFree : public QObject {
    Q_OBJECT
    TestEnv env;

private slots:
    void writingRoutinesRestoreThePointerOnEveryPath_data() {
        QTest::addColumn<bool>("file");    // SendFile rather than SendData
        QTest::addColumn<QString>("port"); // closed, open or refusing
        QTest::addColumn<QString>("shapes");
        QTest::addColumn<QString>("log");
        QTest::newRow("data, closed") << false << "closed"
                                      << "default"
                                      << "";
        QTest::newRow("data, sent") << false << "open"
                                    << "busy default"
                                    << "3:A\r";
        QTest::newRow("data, refused") << false << "refusing"
                                       << "busy default"
                                       << "4:SendData: cannot write";
        QTest::newRow("file, closed") << true << "closed"
                                      << "default"
                                      << "";
        QTest::newRow("file, sent") << true << "open"
                                    << "busy default"
                                    << "1:Sending 5 bytes...|3:File ";
        QTest::newRow("file, refused") << true << "refusing"
                                       << "busy default"
                                       << "1:Sending 5 bytes...|4:SendFile: cannot write";
    }
    void writingRoutinesRestoreThePointerOnEveryPath() {
        QFETCH(bool, file);
        QFETCH(QString, port);
        QFETCH(QString, shapes);
        QFETCH(QString, log);
        PtyDevice dev;
        env.mapPort(1, dev.path());
        RefusingPort comm;
        if (port != u"closed")
            comm.setPortOpen(true);
        comm.refuse = port == u"refusing";
        RecordingLog lines;
        RecordingPointer pointer;
        int yields = 0;
        const PortWriter writer{comm, lines, pointer, [&] { ++yields; }};

        QTemporaryFile data;
        QVERIFY(data.open());
        data.write("0x41h");
        data.flush();
        if (file)
            FileSender(writer).SendFile(data.fileName());
        else
            SendPipeline(writer).SendData(QStringLiteral("0x41h0x0Dh"));

        QCOMPARE(pointer.shapes.join(u' '), shapes);
        const QString joined = lines.lines.join(u'|');
        QVERIFY2(joined.left(log.size()) == log, qPrintable(joined));
        QCOMPARE(lines.lines.size(), log.isEmpty() ? 0 : log.count(u'|') + 1);
        if (port == u"open")
            QCOMPARE(dev.read(file ? 5 : 2), file ? QByteArray("0x41h") : QByteArray("A\r"));
        // Data yields once after writing, a file before and after.
        QCOMPARE(yields, port == u"closed"     ? 0
                         : port == u"refusing" ? (file ? 1 : 0)
                                               : (file ? 2 : 1));
    }

    void theDataFieldAddsTickedLineEndsAndSaysWhetherToClear_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("cr");
        QTest::addColumn<int>("lf");
        QTest::addColumn<QVariant>("flag");
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<bool>("clear");
        QTest::newRow("both ticked, stored 1")
            << "ABC" << 1 << 1 << QVariant("1") << QByteArray("ABC\r\n") << true;
        QTest::newRow("LF only, integer 0")
            << "ABC" << 0 << 1 << QVariant(0) << QByteArray("ABC\n") << false;
        QTest::newRow("greyed adds nothing")
            << "0x0Dh" << 2 << 2 << QVariant("0") << QByteArray("\r") << false;
        QTest::newRow("letters count as off")
            << "x" << 0 << 0 << QVariant("yes") << QByteArray("x") << false;
        QTest::newRow("empty field") << "" << 1 << 1 << QVariant("1") << QByteArray() << false;
    }
    void theDataFieldAddsTickedLineEndsAndSaysWhetherToClear() {
        QFETCH(QString, field);
        QFETCH(int, cr);
        QFETCH(int, lf);
        QFETCH(QVariant, flag);
        QFETCH(QByteArray, sent);
        QFETCH(bool, clear);
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort comm(storedPortEntries());
        comm.setPortOpen(true);
        RecordingLog lines;
        RecordingPointer pointer;
        SendPipeline pipeline({comm, lines, pointer, [] {}});
        const LineEndStates ends{qint16(cr), qint16(lf)};
        QCOMPARE(sendDataField(field, ends, flag, pipeline), clear);
        QCOMPARE(dev.read(sent.size(), sent.isEmpty() ? 100 : 3000), sent);
    }

    void theTickReportsALossOnceAndKeepsWhatArrivedBeforeIt() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort comm(storedPortEntries());
        comm.setPortOpen(true);
        RecordingLog lines;
        ReceivePoller poller(comm, lines);
        dev.write("OK");
        QTRY_VERIFY(comm.InBufferCount() == 2);
        dev.hangUp();
        QVERIFY(poller.tick());
        QCOMPARE(lines.lines.size(), 2);
        QCOMPARE(lines.lines[0], QStringLiteral("2:OK"));
        QVERIFY2(lines.lines[1].startsWith(QStringLiteral("4:Receive: COM1")),
                 qPrintable(lines.lines[1]));
        QVERIFY(!poller.tick());
        QCOMPARE(lines.lines.size(), 2);
    }

    void onlyALostBoardIsReopenedWhenItComesBack_data() {
        QTest::addColumn<QString>("before"); // how the port came to be closed
        QTest::addColumn<bool>("reopened");
        QTest::newRow("lost") << "lost" << true;
        QTest::newRow("lost, back but held") << "held" << true;
        QTest::newRow("lost, then closed by the user") << "closed" << false;
        QTest::newRow("never opened") << "never" << false;
    }
    void onlyALostBoardIsReopenedWhenItComesBack() {
        QFETCH(QString, before);
        QFETCH(bool, reopened);
        // A stable name for the board, as /dev/serial/by-id gives one.
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        auto first = std::make_unique<PtyDevice>();
        QVERIFY(QFile::link(first->path(), link));
        env.mapPort(1, link);
        SerialPort comm(storedPortEntries());
        comm.setSettings(QStringLiteral("19200,e,7,1"));
        RecordingLog lines;
        ReceivePoller poller(comm, lines);
        if (before != u"never") {
            comm.setPortOpen(true);
            // The board goes away, and its name with it.
            QFile::remove(link);
            first.reset();
            QTest::qWait(200);
            QVERIFY(poller.tick());
            if (before == u"closed")
                comm.setPortOpen(false);
        }
        QVERIFY(!poller.tick()); // still gone: nothing happens
        lines.lines.clear();

        PtyDevice second; // back, under the same name
        QFile::remove(link);
        QVERIFY(QFile::link(second.path(), link));
        if (before == u"held") {
            // A flashing tool has it: wait quietly, and take it once it is free.
            const int tool =
                ::open(QFile::encodeName(second.path()).constData(), O_RDWR | O_NOCTTY);
            QCOMPARE(::flock(tool, LOCK_EX | LOCK_NB), 0);
            QVERIFY(!poller.tick());
            QVERIFY(!comm.PortOpen());
            QCOMPARE(lines.lines, QStringList());
            ::close(tool);
        }
        QCOMPARE(poller.tick(), reopened);
        QCOMPARE(comm.PortOpen(), reopened);
        if (!reopened) {
            QCOMPARE(lines.lines, QStringList());
            return;
        }
        QCOMPARE(lines.lines, QStringList{QStringLiteral("1:Reconnected to COM1 (%1)").arg(link)});
        QCOMPARE(comm.Settings(), QStringLiteral("19200,e,7,1"));
        second.write("hello");
        QTRY_VERIFY(comm.InBufferCount() == 5);
        QVERIFY(!poller.tick());
        QCOMPARE(lines.lines.last(), QStringLiteral("2:hello"));
    }

    void aLostTerminalIsAwaitedAsItWasNotByItsPath_data() {
        QTest::addColumn<bool>("bare");       // COM1 is the terminal's own path, not a link to it
        QTest::addColumn<bool>("linkRemade"); // the link is made anew for the terminal that comes
        QTest::addColumn<bool>("reopened");
        QTest::newRow("link kept, another terminal takes the number") << false << false << false;
        QTest::newRow("bare path, another terminal takes the number") << true << false << false;
        QTest::newRow("link made anew for it") << false << true << true;
    }
    void aLostTerminalIsAwaitedAsItWasNotByItsPath() {
        QFETCH(bool, bare);
        QFETCH(bool, linkRemade);
        QFETCH(bool, reopened);
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        auto first = std::make_unique<PtyDevice>();
        const QString number = first->path();
        QVERIFY(QFile::link(number, link));
        env.mapPort(1, bare ? number : link);
        SerialPort comm(storedPortEntries());
        RecordingLog lines;
        ReceivePoller poller(comm, lines);
        comm.setPortOpen(true);
        first.reset();
        // Noticed between ticks (a send asks); then another terminal takes the number.
        QTRY_VERIFY(!comm.PortOpen());
        std::vector<std::unique_ptr<PtyDevice>> others;
        while (others.size() < 64 && (others.empty() || others.back()->path() != number))
            others.push_back(std::make_unique<PtyDevice>());
        if (others.back()->path() != number)
            QSKIP("no new terminal took the number");
        if (linkRemade) {
            QVERIFY(QFile::remove(link));
            QVERIFY(QFile::link(number, link));
        }
        QVERIFY(poller.tick());
        QCOMPARE(lines.lines.size(), reopened ? 2 : 1);
        // The loss comes first, whatever the tick does next.
        QVERIFY2(lines.lines[0].startsWith(QStringLiteral("4:Receive: COM1 (") +
                                           (bare ? number : link) + QStringLiteral(") was")),
                 qPrintable(lines.lines[0]));
        QCOMPARE(comm.PortOpen(), reopened);
        if (reopened)
            QCOMPARE(lines.lines[1], QStringLiteral("1:Reconnected to COM1 (%1)").arg(link));
        else
            QVERIFY(!poller.tick()); // and it keeps waiting quietly
    }

    void theStatusDetailsSayWhichDeviceTheComNumberIs_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("open");
        QTest::addColumn<QString>("details"); // %1: the device
        QTest::newRow("open") << 1 << true << "COM1 is %1";
        QTest::newRow("closed") << 1 << false << "COM1 maps to %1, which is not open";
        QTest::newRow("unmapped")
            << 30000 << false
            << "COM30000 maps to no serial device. Plug in a board, or name its "
               "device for COM30000 in the [Ports] section of the settings file.";
    }
    void theStatusDetailsSayWhichDeviceTheComNumberIs() {
        QFETCH(int, port);
        QFETCH(bool, open);
        QFETCH(QString, details);
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort comm(storedPortEntries());
        comm.setCommPort(port);
        comm.setPortOpen(open);
        QCOMPARE(connectionDetails(comm),
                 details.contains(u"%1") ? details.arg(dev.path()) : details);
    }
};

QTEST_GUILESS_MAIN(TestWindowFree)
#include "test_windowfree.moc"
