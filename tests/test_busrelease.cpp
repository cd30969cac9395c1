// SPDX-License-Identifier: GPL-3.0-or-later
// brovik --release and --reclaim end to end, on a session bus of its own
// (on_session_bus.sh): the program answers on the bus as the running Brovik
// does, the real brovik asks it, and a second program (flock) holds the
// device in between.
#include "serial/serialport.h"
#include "support/ptywindowfixture.h"
#include "ui/boardactions.h"
#include "ui/busservice.h"
#include "ui/sessionbus.h"
#include "ui/statuspanel.h"

#include <QAction>
#include <QDBusConnection>
#include <QFile>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Outcome {
    int status = -1;
    QString out, err;
};

// Runs the real brovik, serving the bus meanwhile.
Outcome brovik(const QString& option) {
    QProcess p;
    p.start(QStringLiteral(BROVIK_PATH), {option});
    Outcome o;
    if (!p.waitForStarted())
        return o;
    if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000))
        return o;
    o.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    o.err = QString::fromLocal8Bit(p.readAllStandardError());
    return o;
}

} // namespace

class TestBusRelease : public PtyWindowFixture {
    Q_OBJECT

    QString logLines(const QString& start) const {
        QStringList found;
        for (const QString& line : logText().split(u'\n'))
            if (line.startsWith(start))
                found << line;
        return found.join(u'|');
    }

private slots:
    void initTestCase() {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
    }

    void aFlasherGetsThePortAndBrovikWaitsForItBack() {
        start();
        BoardActions board(*w);
        auto bus = std::make_unique<BusService>(board);
        QCOMPARE(bus->publish(), QString());
        const QString where = QStringLiteral("COM1 (%1)").arg(dev->path());

        Outcome o = brovik(QStringLiteral("--release"));
        QCOMPARE(o.err, QString());
        QCOMPARE(o.status, 0);
        QCOMPARE(o.out, QStringLiteral("Released %1 for another program\n").arg(where));
        QVERIFY(!w->MSComm().PortOpen());
        QVERIFY(w->statusConnection->toolTip().contains(QStringLiteral("released")));
        QCOMPARE(board.releaseAction->text(), QStringLiteral("Reclaim Port"));

        // The device is free the moment --release returns.
        QProcess holder;
        holder.start(QStringLiteral("flock"),
                     {QStringLiteral("--exclusive"), QStringLiteral("--nonblock"), dev->path(),
                      QStringLiteral("cat")});
        QVERIFY(holder.waitForStarted());
        QTest::qWait(300);
        QCOMPARE(holder.state(), QProcess::Running);

        o = brovik(QStringLiteral("--release"));
        QCOMPARE(o.status, 1);
        QCOMPARE(
            o.err,
            QStringLiteral("brovik: Brovik holds no port: %1 is released already\n").arg(where));

        o = brovik(QStringLiteral("--reclaim"));
        QCOMPARE(o.status, 0);
        QCOMPARE(o.out,
                 QStringLiteral("Reclaiming %1: Brovik opens it again as soon as it is free\n")
                     .arg(where));
        // Quietly: no error while the other program holds it.
        QTest::qWait(1500);
        QVERIFY(!w->MSComm().PortOpen());
        QCOMPARE(logLines(QStringLiteral("Err: ")), QString());

        holder.closeWriteChannel();
        QVERIFY(holder.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(w->MSComm().PortOpen(), 5000);
        QCOMPARE(logLines(QStringLiteral("Info: ")),
                 QStringLiteral("Info: Released %1 for another program|Info: Reclaiming %1: "
                                "Brovik opens it again as soon as it is free|Info: Reconnected "
                                "to %1")
                     .arg(where));
        QCOMPARE(w->statusConnection->text(), QStringLiteral("Connected to COM1:9600,n,8,1"));
        QCOMPARE(board.releaseAction->text(), QStringLiteral("Release Port"));

        o = brovik(QStringLiteral("--reclaim"));
        QCOMPARE(o.status, 1);
        QCOMPARE(o.err, QStringLiteral("brovik: Brovik holds %1 already\n").arg(where));

        bus.reset();
        o = brovik(QStringLiteral("--release"));
        QCOMPARE(o.status, 1);
        QCOMPARE(o.err, QStringLiteral("brovik: no Brovik is running in this desktop session\n"));
        QVERIFY(w->MSComm().PortOpen());
    }

    void aBusIsSoughtOnlyWhereOneMayBe_data() {
        QTest::addColumn<QByteArray>("address");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<bool>("socket");
        QTest::addColumn<bool>("reachable");
        QTest::newRow("address") << QByteArray("unix:path=/nowhere") << QByteArray() << false
                                 << true;
        QTest::newRow("display") << QByteArray() << QByteArray(":5") << false << true;
        QTest::newRow("user bus") << QByteArray() << QByteArray() << true << true;
        QTest::newRow("none") << QByteArray() << QByteArray() << false << false;
    }
    void aBusIsSoughtOnlyWhereOneMayBe() {
        QFETCH(QByteArray, address);
        QFETCH(QByteArray, display);
        QFETCH(bool, socket);
        QFETCH(bool, reachable);
        const QByteArray names[] = {"DBUS_SESSION_BUS_ADDRESS", "DISPLAY", "XDG_RUNTIME_DIR"};
        QByteArray saved[3];
        for (int i = 0; i < 3; ++i)
            saved[i] = qgetenv(names[i]);
        QTemporaryDir runtime;
        if (socket)
            QVERIFY(QFile(runtime.filePath(QStringLiteral("bus"))).open(QIODevice::WriteOnly));
        qputenv(names[0], address);
        qputenv(names[1], display);
        qputenv(names[2], runtime.path().toLocal8Bit());
        const bool found = sessionBusWithinReach();
        for (int i = 0; i < 3; ++i)
            qputenv(names[i], saved[i]);
        QCOMPARE(found, reachable);
    }
};

QTEST_MAIN(TestBusRelease)
#include "test_busrelease.moc"
