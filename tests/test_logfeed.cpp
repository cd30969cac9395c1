// SPDX-License-Identifier: GPL-3.0-or-later
// The log between its writers and its text boxes, without a window: how
// received bytes are shown (UTF-8, hex, terminal codes stripped, times), and
// the capture file (what it refuses, what it writes at each tick, how it stops).
#include "serial/textbytes.h"
#include "session/logdisplay.h"
#include "session/logfeed.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct RecordingDisplay : LogDisplay {
    QStringList shown;
    void showEntry(const QString& Data, LogCategory Cat) override {
        shown << QString::number(int(Cat)) + u':' + Data;
    }
    void clearShown() override { shown.clear(); }
};

// A feed showing to a recording display, its clock standing at noon.
struct Feed {
    LogFeed feed;
    RecordingDisplay display;
    Feed() {
        feed.addDisplay(&display);
        feed.setClock([] { return QTime(12, 0, 0, 0); });
    }
};

ReceivedAs modeNamed(const QString& name) {
    return name == u"utf8"  ? ReceivedAs::Utf8
           : name == u"hex" ? ReceivedAs::Hex
                            : ReceivedAs::Designed;
}

// A hex row: the pairs padded to 16, two spaces, the characters.
QString hexRow(const QString& pairs, const QString& chars) {
    return pairs.leftJustified(16 * 3, u' ') + u' ' + chars;
}

QByteArray fileContents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(unreadable)");
}

} // namespace

class TestLogFeed : public QObject {
    Q_OBJECT

private slots:
    void receivedBytesAreShownTheChosenWay_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("strip");
        QTest::addColumn<bool>("times");
        // One received entry per tick; an empty one is a tick without data.
        QTest::addColumn<QList<QByteArray>>("ticks");
        QTest::addColumn<QStringList>("shown");
        using Ticks = QList<QByteArray>;
        QTest::newRow("as designed: every byte as it came")
            << "designed" << false << false << Ticks{"A\x1b[31mB\xe9\r\n"}
            << QStringList{QStringLiteral("2:A\x1b[31mB\u00e9\r\n")};
        QTest::newRow("as designed, codes stripped")
            << "designed" << true << false << Ticks{"A\x1b[1;31mB\x1b(B\x1b]0;title\x07.\r\n"}
            << QStringList{"2:AB.\r\n"};
        QTest::newRow("not a sequence stays")
            << "designed" << true << false << Ticks{"a\x1b[\x01z\x1b", ""}
            << QStringList{"2:a\x1b[\x01z", "2:\x1b"};
        QTest::newRow("utf-8 characters")
            << "utf8" << false << false << Ticks{"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80\t!\r\n"}
            << QStringList{QStringLiteral("2:caf\u00e9 \u20ac \U0001F600\t!\r\n")};
        QTest::newRow("utf-8: every other byte escaped")
            << "utf8" << false << false << Ticks{"\xff\xc3(\xed\xa0\x80\xc0\xaf\x01\x7f\x1b[0m"}
            << QStringList{"2:0xFFh0xC3h(0xEDh0xA0h0x80h0xC0h0xAFh0x01h0x7Fh0x1Bh[0m"};
        QTest::newRow("utf-8: a character split between ticks is shown whole, once")
            << "utf8" << false << false
            << Ticks{"a\xe2\x82",
                     "\xac"
                     "b",
                     ""}
            << QStringList{"2:a", QStringLiteral("2:\u20acb")};
        QTest::newRow("utf-8: a character that never completes shows as escapes")
            << "utf8" << false << false << Ticks{"a\xf0\x9f", "", "\x98"}
            << QStringList{"2:a", "2:0xF0h0x9Fh", "2:0x98h"};
        QTest::newRow("utf-8: a code split between ticks is stripped whole")
            << "utf8" << true << false << Ticks{"x\x1b[3", "1mred\x1b[0m\xc3", "\xa9"}
            << QStringList{"2:x", "2:red", QStringLiteral("2:\u00e9")};
        QTest::newRow("hex: pairs and printable characters")
            << "hex" << false << false << Ticks{"OK\r\n"}
            << QStringList{"2:" + hexRow("4F 4B 0D 0A", "OK..")};
        QTest::newRow("hex: rows under the first, after the time; codes kept")
            << "hex" << true << true << Ticks{"0123456789abcdef\x1b[0m"}
            << QStringList{
                   "0:12:00:00.000 << " +
                   hexRow("30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66", "0123456789abcdef") +
                   u'\n' + QString(16, u' ') + hexRow("1B 5B 30 6D", ".[0m")};
        QTest::newRow("times in front of the prefix")
            << "designed" << false << true << Ticks{"OK\r\n"}
            << QStringList{"0:12:00:00.000 << OK\r\n"};
    }
    void receivedBytesAreShownTheChosenWay() {
        QFETCH(QString, mode);
        QFETCH(bool, strip);
        QFETCH(bool, times);
        QFETCH(QList<QByteArray>, ticks);
        QFETCH(QStringList, shown);
        // As text, and as the bytes the receive tick hands on.
        for (const bool asBytes : {false, true}) {
            Feed f;
            f.feed.setReceivedAs(modeNamed(mode));
            f.feed.setStripTerminalCodes(strip);
            f.feed.setShowTimes(times);
            qint64 bytes = 0;
            for (const QByteArray& tick : ticks) {
                if (!tick.isEmpty() && asBytes)
                    f.feed.updateLogBytes(tick, LogCategory::Received);
                else if (!tick.isEmpty())
                    f.feed.updateLog(fromWireBytes(tick), LogCategory::Received);
                bytes += tick.size();
                f.feed.tickEnded();
            }
            QCOMPARE(f.display.shown, shown);
            // What is counted as received is the bytes, whatever is shown.
            QCOMPARE(f.feed.loggedCharacters(LogCategory::Received), bytes);
        }
    }

    void aCaptureOpensOnlyARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("refusal"); // empty: the capture starts
        QTest::newRow("new file") << "new"
                                  << "";
        QTest::newRow("file already there, added to") << "existing"
                                                      << "";
        QTest::newRow("link to a file") << "link"
                                        << "";
        QTest::newRow("folder") << "folder"
                                << "it is a folder";
        QTest::newRow("FIFO") << "fifo"
                              << "it is a FIFO (named pipe)";
        QTest::newRow("device") << "device"
                                << "it is a device";
        QTest::newRow("dangling link") << "dangling"
                                       << "it is a link to %1/gone, which does not exist";
        QTest::newRow("missing folder") << "nofolder"
                                        << "No such file or directory";
    }
    void aCaptureOpensOnlyARegularFile() {
        QFETCH(QString, kind);
        QFETCH(QString, refusal);
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("log.txt"));
        QString path = target;
        QByteArray before;
        if (kind == u"existing") {
            before = "old\n";
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
            f.close();
            QVERIFY(f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadOther));
        } else if (kind == u"link") {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            path = dir.filePath(QStringLiteral("link"));
            QVERIFY(QFile::link(target, path));
        } else if (kind == u"folder") {
            QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("log.txt")));
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else if (kind == u"device") {
            path = QStringLiteral("/dev/null");
        } else if (kind == u"dangling") {
            QVERIFY(QFile::link(dir.filePath(QStringLiteral("gone")), target));
        } else if (kind == u"nofolder") {
            path = dir.filePath(QStringLiteral("nowhere/log.txt"));
        }

        Feed f;
        const bool started = f.feed.startCapture(path, false);
        QCOMPARE(started, refusal.isEmpty());
        QCOMPARE(f.feed.capturing(), started);
        if (!started) {
            QCOMPARE(f.display.shown,
                     QStringList{QStringLiteral("4:Capture: cannot capture to %1: %2")
                                     .arg(path, QString(refusal).replace("%1", dir.path()))});
            if (kind == u"folder" || kind == u"fifo")
                QCOMPARE(QFileInfo(target).isFile(), false); // left as it was
            return;
        }
        f.feed.updateLog(QStringLiteral("hi"), LogCategory::Info);
        f.feed.tickEnded();
        QCOMPARE(fileContents(target), before + "12:00:00.000 Info: hi\r\n");
        QCOMPARE(QFile::permissions(target), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ReadUser | QFileDevice::WriteUser);
        QVERIFY(QFileInfo(path).isSymLink() == (kind == u"link"));
    }

    void aCaptureWritesEachTickAtItsEnd_data() {
        QTest::addColumn<bool>("raw");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("entries with their times, as shown")
            << false
            << QByteArray("12:00:00.000 >> AT\r\r\n12:00:00.000 << \xc3\xa9") + '\0' +
                   QByteArray("\r\n\r\n12:00:00.000 Err: Load: x\r\n");
        QTest::newRow("raw: the received bytes alone") << true << QByteArray("\xe9\x00\r\n", 4);
    }
    void aCaptureWritesEachTickAtItsEnd() {
        QFETCH(bool, raw);
        QFETCH(QByteArray, written);
        const QByteArray received("\xe9\x00\r\n", 4);
        // As text, and as the bytes the receive tick hands on.
        for (const bool asBytes : {false, true}) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("capture"));
            Feed f;
            QVERIFY(f.feed.startCapture(path, raw));
            f.feed.updateLog(QStringLiteral("AT\r"), LogCategory::Sent);
            if (asBytes)
                f.feed.updateLogBytes(received, LogCategory::Received);
            else
                f.feed.updateLog(fromWireBytes(received), LogCategory::Received);
            f.feed.updateLog(QStringLiteral("Load: x"), LogCategory::Error);
            QCOMPARE(fileContents(path), QByteArray()); // not before the tick ends
            f.feed.tickEnded();
            QCOMPARE(fileContents(path), written);
            f.feed.stopCapture();
            f.feed.updateLog(QStringLiteral("after"), LogCategory::Info);
            f.feed.tickEnded();
            QCOMPARE(fileContents(path), written);
        }
    }

    void aFailedWriteStopsTheCaptureWithOneLine_data() {
        QTest::addColumn<QString>("cause");
        QTest::newRow("disk full") << "tmpfs";
        QTest::newRow("file size limit") << "limit";
    }
    void aFailedWriteStopsTheCaptureWithOneLine() {
        QFETCH(QString, cause);
        QTemporaryDir dir;
        QString path = dir.filePath(QStringLiteral("capture"));
        QString reason = QStringLiteral("File too large");
        rlimit old{};
        if (cause == u"tmpfs") {
            const QByteArray where = QFile::encodeName(dir.path());
            if (::mount("brovik-test", where.constData(), "tmpfs", 0, "size=64k") != 0)
                QSKIP("mounting a small tmpfs needs root");
            reason = QStringLiteral("No space left on device");
        }
        const auto unmount = qScopeGuard([&] {
            if (cause == u"tmpfs")
                ::umount2(QFile::encodeName(dir.path()).constData(), MNT_DETACH);
        });
        Feed f;
        QVERIFY(f.feed.startCapture(path, true));
        f.feed.updateLog(QStringLiteral("small"), LogCategory::Received);
        f.feed.tickEnded();
        f.feed.updateLog(QString(256 * 1024, u'x'), LogCategory::Received);
        if (cause == u"limit") {
            std::signal(SIGXFSZ, SIG_IGN);
            ::getrlimit(RLIMIT_FSIZE, &old);
            rlimit small = old;
            small.rlim_cur = 4096;
            ::setrlimit(RLIMIT_FSIZE, &small);
        }
        f.feed.tickEnded();
        if (cause == u"limit")
            ::setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(!f.feed.capturing());
        const QString line = f.display.shown.last();
        QCOMPARE(line, QStringLiteral("4:Capture: cannot write to %1: %2; the capture has stopped")
                           .arg(path, reason));
        // The terminal goes on: entries are shown, and nothing is said again.
        f.feed.updateLog(QStringLiteral("more"), LogCategory::Received);
        f.feed.tickEnded();
        QCOMPARE(f.display.shown.last(), QStringLiteral("2:more"));
        QCOMPARE(f.display.shown.filter(QStringLiteral("Capture:")).size(), 1);
        QVERIFY(fileContents(path).startsWith("small"));
        if (cause == u"limit") // what fit, written once
            QCOMPARE(fileContents(path), "small" + QByteArray(4096 - 5, 'x'));
    }
};

QTEST_GUILESS_MAIN(TestLogFeed)
#include "test_logfeed.moc"
