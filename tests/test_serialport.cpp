// SPDX-License-Identifier: GPL-3.0-or-later
// The serial layer against real pseudo-terminals.
#include "base/failure.h"
#include "serial/permissionadvice.h"
#include "serial/serialport.h"
#include "settings/portentries.h"
#include "support/ptydevice.h"
#include "support/testenv.h"

#include <QFile>
#include <QProcess>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <termios.h>

namespace {

QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

QString thisProgram() {
    return fileText(QStringLiteral("/proc/self/comm")).trimmed() + QStringLiteral(", PID ") +
           QString::number(::getpid());
}

// Other processes holding a device in one of the ways a terminal program
// does, and the holder that should be named for them.
struct Holder {
    QProcess watcher; // has the device open, no lock: not the holder
    QProcess locker;
    qint64 child = 0; // a lock taker's child that was handed the lock
    QSerialPort qt;   // a lock file and exclusive mode, no flock
    QString expected;

    Holder(const QString& how, const QString& device) {
        // Each in a process group of its own, so that its children go with it.
        for (QProcess* p : {&locker, &watcher})
            p->setChildProcessModifier([] { ::setpgid(0, 0); });
        if (how == u"flock") {
            locker.start(QStringLiteral("flock"),
                         {device, QStringLiteral("sleep"), QStringLiteral("600")});
            if (!locker.waitForStarted())
                return;
            const QByteArray pid = ' ' + QByteArray::number(locker.processId()) + ' ';
            for (int i = 0; i < 500 && !lockList().contains(pid); ++i)
                QTest::qWait(10);
            expected = QStringLiteral("flock, PID ") + QString::number(locker.processId());
        } else if (how == u"handed to a child") {
            watcher.setStandardInputFile(device);
            watcher.start(QStringLiteral("tail"),
                          {QStringLiteral("-f"), QStringLiteral("/dev/null")});
            // The taker locks, hands the descriptor to a child and is gone.
            locker.start(QStringLiteral("sh"),
                         {QStringLiteral("-c"),
                          QStringLiteral("exec 9<\"$0\" && flock -x 9 && "
                                         "{ sleep 600 >/dev/null 2>&1 & echo $!; }"),
                          device});
            if (!watcher.waitForStarted() || !locker.waitForFinished())
                return;
            child = locker.readAllStandardOutput().trimmed().toLongLong();
            expected = QStringLiteral("sleep, PID ") + QString::number(child);
        } else if (how == u"lock file") {
            qt.setPortName(device);
            if (qt.open(QIODevice::ReadWrite))
                expected = thisProgram();
        }
    }
    ~Holder() {
        if (child > 0)
            ::kill(pid_t(child), SIGKILL);
        for (QProcess* p : {&locker, &watcher}) {
            if (p->processId() > 0)
                ::kill(-pid_t(p->processId()), SIGKILL);
            p->waitForFinished();
        }
    }
    static QByteArray lockList() {
        QFile locks(QStringLiteral("/proc/locks"));
        return locks.open(QIODevice::ReadOnly) ? locks.readAll() : QByteArray();
    }
};

// The holder a second program names, run as another user when asUser is set
// and, with ownTerminals, where /dev/pts is a devpts instance of its own.
// Null when it could not be run so.
QString holderNamedBy(const QString& device, const QString& asUser, bool ownTerminals) {
    QStringList command{QStringLiteral(HOLDER_LOOKUP_PATH), device};
    if (ownTerminals)
        command = QStringList{QStringLiteral("unshare"),
                              QStringLiteral("--mount"),
                              QStringLiteral("--propagation"),
                              QStringLiteral("private"),
                              QStringLiteral("sh"),
                              QStringLiteral("-c"),
                              QStringLiteral("mount -t devpts -o newinstance,ptmxmode=0666 devpts "
                                             "/dev/pts && exec \"$0\" --own-terminals \"$1\"")} +
                  command;
    if (!asUser.isEmpty())
        command =
            QStringList{QStringLiteral("setpriv"), QStringLiteral("--reuid=") + asUser,
                        QStringLiteral("--regid=") + asUser, QStringLiteral("--clear-groups")} +
            command;
    QProcess lookup;
    lookup.start(command.takeFirst(), command);
    if (!lookup.waitForFinished(20000) || lookup.exitCode() != 0) {
        qWarning("%s", lookup.readAllStandardError().constData());
        return {};
    }
    return QString::fromLocal8Bit(lookup.readAllStandardOutput()).trimmed();
}

} // namespace

class TestSerialPort : public QObject {
    Q_OBJECT
    TestEnv env;

    static QByteArray allBytes() {
        QByteArray b;
        for (int i = 0; i < 256; ++i)
            b.append(static_cast<char>(i));
        return b;
    }

    // Waits until the port has taken `count` bytes from the device.
    static void waitForInput(SerialPort& port, int count) {
        QTRY_VERIFY_WITH_TIMEOUT(port.InBufferCount() >= std::min(count, 32767), 5000);
    }

private slots:
    void init() { env.clear(); }

    void configurationIsValidatedAndKeptOnFailure_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("valid");
        QTest::newRow("default") << "9600,n,8,1" << true;
        QTest::newRow("upper-case parity kept as written") << "9600,N,8,1" << true;
        QTest::newRow("non-standard rate") << "14400,e,7,2" << true;
        QTest::newRow("mark parity") << "115200,m,7,1" << true;
        QTest::newRow("1.5 stop bits with 5 data bits") << "110,s,5,1.5" << true;
        QTest::newRow("1.5 stop bits with 8 data bits") << "9600,n,8,1.5" << false;
        QTest::newRow("2 stop bits with 5 data bits") << "9600,n,5,2" << false;
        QTest::newRow("zero baud") << "0,n,8,1" << false;
        QTest::newRow("negative baud") << "-9600,n,8,1" << false;
        QTest::newRow("baud with a space") << " 9600,n,8,1" << false;
        QTest::newRow("unknown parity") << "9600,x,8,1" << false;
        QTest::newRow("nine data bits") << "9600,n,9,1" << false;
        QTest::newRow("three fields") << "9600,n,8" << false;
        QTest::newRow("five fields") << "9600,n,8,1,1" << false;
        QTest::newRow("empty") << "" << false;
    }
    void configurationIsValidatedAndKeptOnFailure() {
        QFETCH(QString, settings);
        QFETCH(bool, valid);
        SerialPort port(storedPortEntries());
        port.setSettings(QStringLiteral("4800,o,7,1"));
        if (valid) {
            port.setSettings(settings);
            QCOMPARE(port.Settings(), settings);
        } else {
            QVERIFY_THROWS_EXCEPTION(Failure, port.setSettings(settings));
            QCOMPARE(port.Settings(), QStringLiteral("4800,o,7,1"));
        }
    }

    void portNumberAndFlowControlAreValidated() {
        SerialPort port(storedPortEntries());
        QCOMPARE(port.CommPort(), 1);
        QCOMPARE(port.Settings(), QStringLiteral("9600,n,8,1"));
        QCOMPARE(port.Handshaking(), 0);
        port.setCommPort(12);
        QVERIFY_THROWS_EXCEPTION(Failure, port.setCommPort(0));
        QVERIFY_THROWS_EXCEPTION(Failure, port.setCommPort(-3));
        QCOMPARE(port.CommPort(), 12);
        port.setHandshaking(3);
        QVERIFY_THROWS_EXCEPTION(Failure, port.setHandshaking(4));
        QVERIFY_THROWS_EXCEPTION(Failure, port.setHandshaking(-1));
        QCOMPARE(port.Handshaking(), 3);
    }

    void configurationIsRefusedWhileOpen() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        QVERIFY(port.PortOpen());
        QVERIFY_THROWS_EXCEPTION(Failure, port.setCommPort(2));
        QVERIFY_THROWS_EXCEPTION(Failure, port.setSettings(QStringLiteral("300,n,8,1")));
        QVERIFY_THROWS_EXCEPTION(Failure, port.setHandshaking(1));
        QCOMPARE(port.CommPort(), 1);
        QCOMPARE(port.Settings(), QStringLiteral("9600,n,8,1"));
        port.setPortOpen(false);
        QVERIFY(!port.PortOpen());
        port.setPortOpen(false); // closing a closed port changes nothing
        QVERIFY(!port.PortOpen());
    }

    void absentPortsFailWithADescription() {
        SerialPort port(storedPortEntries());
        env.mapPort(3, env.configHome() + QStringLiteral("/no-such-tty"));
        port.setCommPort(3);
        try {
            port.setPortOpen(true);
            QFAIL("opening an absent device succeeded");
        } catch (const Failure& f) {
            QVERIFY2(f.description().contains(QStringLiteral("COM3")), qPrintable(f.description()));
            QVERIFY2(f.description().contains(QStringLiteral("no-such-tty")),
                     qPrintable(f.description()));
        }
        QVERIFY(!port.PortOpen());
    }

    void aSecondOpenerIsRefusedWithoutDisturbingTheFirst_data() {
        QTest::addColumn<bool>("throughLink"); // the same device by another name
        QTest::newRow("same path") << false;
        QTest::newRow("through a link") << true;
    }
    void aSecondOpenerIsRefusedWithoutDisturbingTheFirst() {
        QFETCH(bool, throughLink);
        PtyDevice dev;
        QTemporaryDir dir;
        const QString link = dir.filePath(QStringLiteral("board"));
        QVERIFY(QFile::link(dev.path(), link));
        env.mapPort(1, dev.path());
        env.mapPort(2, throughLink ? link : dev.path());
        SerialPort holder(storedPortEntries());
        holder.setPortOpen(true);
        SerialPort port(storedPortEntries());
        port.setCommPort(2);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                port.setPortOpen(true);
                QFAIL("a held device opened twice");
            } catch (const Failure& f) {
                QVERIFY2(f.description().contains(QStringLiteral("in use by another program")),
                         qPrintable(f.description()));
            }
        }
        QVERIFY(!port.PortOpen());
        // The first keeps the device to itself and keeps receiving.
        const int probe = ::open(QFile::encodeName(dev.path()).constData(), O_RDWR | O_NOCTTY);
        int exclusive = 0;
        if (probe >= 0) {
            QCOMPARE(::ioctl(probe, TIOCGEXCL, &exclusive), 0);
            ::close(probe);
            QCOMPARE(exclusive, 1);
        }
        dev.write("still mine");
        waitForInput(holder, 10);
        QCOMPARE(holder.Input(), QStringLiteral("still mine"));
        // The lock goes with the close.
        holder.setPortOpen(false);
        port.setPortOpen(true);
        QVERIFY(port.PortOpen());
    }

    void aDeviceLockedByAnotherProgramIsRefusedNamingIt() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        QProcess locker; // flock(1), as picocom and tio lock a port
        // One process that locks the device and then sleeps, as a terminal holds it.
        locker.start(QStringLiteral("sh"),
                     {QStringLiteral("-c"),
                      QStringLiteral("exec 9<\"$0\" && flock -x 9 && exec sleep 30"), dev.path()});
        if (!locker.waitForStarted())
            QSKIP("sh is not there");
        // Once it sleeps, flock(1) has locked and gone: the holder is the sleeper alone.
        const QString comm = QStringLiteral("/proc/%1/comm").arg(locker.processId());
        QTRY_COMPARE_WITH_TIMEOUT(fileText(comm), QStringLiteral("sleep\n"), 5000);
        SerialPort port(storedPortEntries());
        QString description;
        try {
            port.setPortOpen(true);
        } catch (const Failure& f) {
            description = f.description();
        }
        QCOMPARE(description,
                 QStringLiteral("cannot open COM1 (%1): the device is in use by another program "
                                "(sleep, PID %2)")
                     .arg(dev.path(), QString::number(locker.processId())));
        locker.kill();
        locker.waitForFinished();
        try {
            port.setPortOpen(true);
        } catch (const Failure& f) {
            QFAIL(qPrintable(f.description()));
        }
        QVERIFY(port.PortOpen());
    }

    void theHolderNamedIsTheOneHoldingTheDeviceNow_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("ownTerminals"); // the asker's /dev/pts is an instance of its own
        QTest::addColumn<bool>("named");        // or no one
        QTest::newRow("flock") << "flock" << false << true;
        QTest::newRow("lock handed to a child, another opener first")
            << "handed to a child" << false << true;
        QTest::newRow("lock file") << "lock file" << false << true;
        QTest::newRow("the same terminal number in another devpts instance")
            << "handed to a child" << true << false;
    }
    void theHolderNamedIsTheOneHoldingTheDeviceNow() {
        QFETCH(QString, how);
        QFETCH(bool, ownTerminals);
        QFETCH(bool, named);
        PtyDevice dev;
        Holder holder(how, dev.path());
        QVERIFY(!holder.expected.isEmpty());
        const QString who = holderNamedBy(dev.path(), QString(), ownTerminals);
        if (who.isNull())
            QSKIP("cannot give the lookup terminals of its own here (needs root)");
        QCOMPARE(who, named ? holder.expected : QString());
    }

    void aBusyDeviceNamesItsHolderForAnotherUser_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("named"); // or no one, when nothing tells for sure
        QTest::newRow("flock") << "flock" << true;
        QTest::newRow("lock file") << "lock file" << true;
        QTest::newRow("lock handed to a child whose taker is gone") << "handed to a child" << false;
    }
    void aBusyDeviceNamesItsHolderForAnotherUser() {
        QFETCH(QString, how);
        QFETCH(bool, named);
        if (::geteuid() != 0)
            QSKIP("a second user needs root");
        PtyDevice dev;
        Holder holder(how, dev.path());
        QVERIFY(!holder.expected.isEmpty());
        const QString who = holderNamedBy(dev.path(), QStringLiteral("65534"), false);
        QVERIFY2(!who.isNull(), "the lookup did not run as nobody");
        QCOMPARE(who, named ? holder.expected : QString());
    }

    void thePermissionHintNamesOnlyAGroupThatCanHelp_data() {
        QTest::addColumn<QString>("group");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("join"); // advised to join the group, or told who can grant access
        QTest::newRow("owner only") << "root" << 0600 << false;
        QTest::newRow("group root may read and write") << "root" << 0660 << false;
        QTest::newRow("group tty may write, not read") << "tty" << 0620 << false;
        QTest::newRow("group dialout may read, not write") << "dialout" << 0640 << false;
        QTest::newRow("group dialout may read and write") << "dialout" << 0660 << true;
    }
    void thePermissionHintNamesOnlyAGroupThatCanHelp() {
        QFETCH(QString, group);
        QFETCH(int, mode);
        QFETCH(bool, join);
        const ::group* g = ::getgrnam(group.toLocal8Bit().constData());
        if (g == nullptr)
            QSKIP("no such group here");
        QTemporaryDir dir;
        const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("ttyS9")));
        // A serial device node where this user may make one; the hint reads only
        // its owner, group and mode, so a file stands in elsewhere.
        if (::mknod(node.constData(), S_IFCHR | 0600, makedev(4, 73)) != 0)
            QVERIFY(QFile(QFile::decodeName(node)).open(QIODevice::WriteOnly));
        if (::chown(node.constData(), 0, g->gr_gid) != 0)
            QSKIP("cannot give a node to root and that group (needs root)");
        QCOMPARE(::chmod(node.constData(), mode_t(mode)), 0);
        struct stat st {};
        QCOMPARE(::stat(node.constData(), &st), 0);
        QCOMPARE(permissionAdvice(st),
                 join ? QStringLiteral("your user must belong to the group \"%1\" that owns the "
                                       "device (sudo usermod -aG %1 $USER, then log in again)")
                            .arg(group)
                      : QStringLiteral("the device is not accessible to this user; its owner "
                                       "(root) or the system's udev rules must grant access"));
    }

    void everyByteValuePassesBothWays() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        port.setInputLen(0);

        QString text;
        for (int i = 0; i < 256; ++i)
            text.append(QChar(i));
        port.Output(text);
        QCOMPARE(dev.read(256), allBytes());

        dev.write(allBytes());
        waitForInput(port, 256);
        QCOMPARE(port.InBufferCount(), 256);
        const QString in = port.Input();
        QCOMPARE(in, text);
        QCOMPARE(port.InBufferCount(), 0);
        QCOMPARE(port.Input(), QString()); // never waits for more
    }

    void charactersAboveLatin1GoOutAsUtf8() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        port.Output(QStringLiteral("\u20ac\U0001F600\u00e9"));
        QCOMPARE(dev.read(8), QByteArray("\xe2\x82\xac\xf0\x9f\x98\x80\xe9"));
    }

    void largeWritesArriveWholeAndInOrder() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        QByteArray big;
        for (int i = 0; i < 300000; ++i)
            big.append(static_cast<char>((i * 7 + i / 256) & 0xFF));
        port.OutputBytes(big);
        port.Output(QStringLiteral("end"));
        QCOMPARE(dev.read(big.size() + 3, 20000), big + "end");
    }

    void queuedBytesReachTheDeviceWhenClosedRightAfter() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        {
            SerialPort port(storedPortEntries());
            port.setPortOpen(true);
            port.Output(QStringLiteral("closed at once"));
            port.setPortOpen(false);
            port.setPortOpen(true);
            port.Output(QStringLiteral(", and destroyed"));
        } // destroyed without an event loop turn
        QCOMPARE(dev.read(29), QByteArray("closed at once, and destroyed"));
    }

    void aCloseTellsWhatADeviceThatTakesNoMoreLeftUnsent() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        const QByteArray big(1 << 20, 'b'); // far more than a terminal buffers
        port.OutputBytes(big);
        const qint64 pending = port.pendingBytes();
        QVERIFY(pending > 0);
        // The device reads nothing: the close gives up and says how much is lost.
        try {
            port.setPortOpen(false);
            QFAIL("the close reported nothing");
        } catch (const Failure& e) {
            QVERIFY2(describe(e).contains(QStringLiteral("%1 bytes unsent").arg(pending)),
                     qPrintable(describe(e)));
        }
        QVERIFY(!port.PortOpen());
        QCOMPARE(port.pendingBytes(), 0);
        QCOMPARE(dev.readAvailable(), big.left(big.size() - pending));
    }

    void aLargeWaitingCountReadsAs32767() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        const QByteArray flood(40000, 'x');
        dev.write(flood);
        QTRY_VERIFY_WITH_TIMEOUT(port.InBufferCount() == 32767, 5000);
        qsizetype total = 0;
        QTRY_COMPARE_WITH_TIMEOUT(total += port.Input().size(), 40000, 5000);
    }

    void bothFlowControlsAreSetForCode3() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setHandshaking(3);
        port.setPortOpen(true);
        termios t{};
        QCOMPARE(::tcgetattr(dev.masterFd(), &t), 0);
        QVERIFY(t.c_cflag & CRTSCTS);
        QVERIFY(t.c_iflag & IXON);
        QVERIFY(t.c_iflag & IXOFF);
        port.setPortOpen(false);

        port.setHandshaking(2);
        port.setPortOpen(true);
        QCOMPARE(::tcgetattr(dev.masterFd(), &t), 0);
        QVERIFY(t.c_cflag & CRTSCTS);
        QVERIFY(!(t.c_iflag & IXON));
    }

    void aVanishedDeviceClosesThePortAndIsReportedOnce() {
        auto dev = std::make_unique<PtyDevice>();
        env.mapPort(1, dev->path());
        SerialPort port(storedPortEntries());
        port.setPortOpen(true);
        dev->write("last words");
        QTRY_VERIFY_WITH_TIMEOUT(port.InBufferCount() == 10, 5000);
        dev->hangUp();
        QTRY_VERIFY_WITH_TIMEOUT(!port.PortOpen(), 5000);
        const QString report = port.takeLossReport();
        QVERIFY2(report.contains(QStringLiteral("COM1")), qPrintable(report));
        QCOMPARE(port.takeLossReport(), QString());
        QCOMPARE(port.takeUnreadAfterLoss(), QStringLiteral("last words"));
        QCOMPARE(port.InBufferCount(), 0);
        QVERIFY_THROWS_EXCEPTION(Failure, port.Output(QStringLiteral("x")));
    }
};

QTEST_MAIN(TestSerialPort)
#include "test_serialport.moc"
