// SPDX-License-Identifier: GPL-3.0-or-later
// Predefined outputs and file sending through a pseudo-terminal device, in a
// terminal session without a window.
#include "serial/serialport.h"
#include "settings/settingsstore.h"
#include "support/ptyterminalfixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestFileSend : public PtyTerminalFixture {
    Q_OBJECT
    QTemporaryDir files;

    QString writeFile(const QString& name, const QByteArray& contents) {
        const QString path = files.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            qFatal("cannot write a test file");
        f.write(contents);
        return path;
    }
    static void saveOutput(int n, const QString& text) {
        SettingsStore::SaveSetting("Brovik", "Outputs", QStringLiteral("Output%1").arg(n), text);
    }

private slots:

    void outputsAreSentAsStoredWithoutLineEnds() {
        saveOutput(1, QStringLiteral("AT0x0Dh"));
        start();
        t->setLineEnds({1, 1});
        t->sendOutput(0);
        QCOMPARE(dev->read(3), QByteArray("AT\r"));
        QCOMPARE(logText(), QStringLiteral(">> AT\n\n"));
        QTest::qWait(50);
        QCOMPARE(dev->readAvailable(), QByteArray());

        // A newly saved output is sent at the next click, without a restart.
        saveOutput(8, QStringLiteral("new"));
        t->sendOutput(7);
        QCOMPARE(dev->read(3), QByteArray("new"));
    }

    void emptyOrAbsentOutputsDoNothing() {
        saveOutput(2, QString());
        start();
        t->sendOutput(1);
        t->sendOutput(2);
        QCOMPARE(logText(), QString());
        t->port().setPortOpen(false);
        saveOutput(3, QStringLiteral("closed"));
        t->sendOutput(2);
        QCOMPARE(logText(), QString());
        QCOMPARE(dev->readAvailable(), QByteArray());
    }

    void anUnreadableStoreIsAnOutputError() {
        start();
        QFile::remove(env.settingsFile());
        QVERIFY(QDir().mkpath(env.settingsFile())); // a folder where the file should be
        QFile::setPermissions(env.settingsFile(), QFileDevice::Permissions());
        t->sendOutput(0);
        // Root reads anything; only check that a failure, if any, is tagged.
        for (const QString& line : logText().split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(QStringLiteral("Err: Output: ")), qPrintable(line));
        QDir(env.settingsFile()).removeRecursively();
    }

    void aFileGoesOutUndecodedWithItsLogLines() {
        start();
        const QString path = writeFile(QStringLiteral("abc.txt"), "ABC");
        t->SendFile(path);
        QCOMPARE(dev->read(3), QByteArray("ABC"));
        QCOMPARE(logText(), QStringLiteral("Info: Sending 3 bytes...\n>> File ") + path + u'\n');

        record->clear();
        t->SendFile(writeFile(QStringLiteral("escape.txt"), "0x41h"));
        QCOMPARE(dev->read(5), QByteArray("0x41h"));
        QVERIFY(!pointer->busy);
    }

    void everyByteValueOfAFileArrives() {
        start();
        QByteArray all;
        for (int round = 0; round < 3; ++round)
            for (int i = 0; i < 256; ++i)
                all.append(static_cast<char>(i));
        t->SendFile(writeFile(QStringLiteral("bytes.bin"), all));
        QCOMPARE(dev->read(all.size()), all);
    }

    void anEmptyFileIsSentAsNothing() {
        start();
        const QString path = writeFile(QStringLiteral("empty"), QByteArray());
        t->SendFile(path);
        QCOMPARE(logText(), QStringLiteral("Info: Sending 0 bytes...\n>> File ") + path + u'\n');
    }

    void badPathsGiveOneErrorLine_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing"
                                 << "No such file or directory";
        QTest::newRow("folder") << "folder"
                                << "it is a folder";
        QTest::newRow("FIFO") << "fifo"
                              << "it is a FIFO";
        QTest::newRow("device") << "device"
                                << "it is a device";
        QTest::newRow("the serial device itself") << "serial"
                                                  << "it is a device";
        QTest::newRow("socket") << "socket"
                                << "it is a socket";
    }
    void badPathsGiveOneErrorLine() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        start();
        QString path = files.filePath(kind);
        if (kind == u"folder") {
            QDir().mkpath(path);
        } else if (kind == u"fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == u"device") {
            path = QStringLiteral("/dev/zero");
        } else if (kind == u"serial") {
            path = dev->path();
        } else if (kind == u"socket") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            qstrncpy(addr.sun_path, QFile::encodeName(path).constData(), sizeof addr.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
            ::close(fd);
        }
        t->SendFile(path);
        const QStringList lines = logText().split(u'\n');
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Err: SendFile: ")), qPrintable(lines[0]));
        QVERIFY2(lines[0].contains(path), qPrintable(lines[0]));
        QVERIFY2(lines[0].contains(reason), qPrintable(lines[0]));
        QVERIFY(!pointer->busy);
        QVERIFY(t->port().PortOpen());
    }

    void aFileTooLargeForMemoryIsRefused() {
        start();
        // A sparse file as large as the machine's memory costs no disk space.
        const QString path = files.filePath(QStringLiteral("huge.bin"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        const qint64 pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
        QVERIFY(f.resize(pages * pageSize));
        f.close();
        t->SendFile(path);
        const QString log = logText();
        QVERIFY2(log.startsWith(QStringLiteral("Err: SendFile: cannot send ") + path +
                                QStringLiteral(": the file is too large")),
                 qPrintable(log));
        QCOMPARE(log.count(u'\n'), 1);
        QVERIFY(t->port().PortOpen());
    }

    void anUnreadableFileIsAnError() {
        if (::geteuid() == 0)
            QSKIP("root reads files whatever their permissions");
        start();
        const QString path = writeFile(QStringLiteral("secret"), "x");
        QFile::setPermissions(path, QFileDevice::WriteOwner);
        t->SendFile(path);
        QVERIFY2(logText().startsWith(QStringLiteral("Err: SendFile: cannot open ") + path),
                 qPrintable(logText()));
    }

    void aClosedPortOrEmptyPathLogsNothing() {
        start();
        t->SendFile(QString()); // empty path
        t->port().setPortOpen(false);
        t->SendFile(files.filePath(QStringLiteral("missing")));
        QCOMPARE(logText(), QString());
    }

    void theSessionKeepsWorkingWhileALargeFileGoesOut() {
        start();
        QByteArray big(4 << 20, '\0');
        for (qsizetype i = 0; i < big.size(); ++i)
            big[i] = static_cast<char>((i * 131) >> 3);
        t->SendFile(writeFile(QStringLiteral("big.bin"), big));
        // The send returned before the device took it all; replies still arrive.
        dev->write("busy?");
        QByteArray got;
        bool replied = false;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < big.size() && timer.elapsed() < 30000) {
            got += dev->readAvailable();
            QTest::qWait(1);
            if (!replied && t->port().InBufferCount() == 5) {
                t->tick();
                replied = true;
            }
        }
        QVERIFY(got == big);
        QVERIFY(replied);
        QVERIFY(logText().contains(QStringLiteral("<< busy?\n")));
    }
};

QTEST_GUILESS_MAIN(TestFileSend)
#include "test_filesend.moc"
