// SPDX-License-Identifier: GPL-3.0-or-later
// Loading and saving a session's settings: conversions, ranges and stopping
// at the first failure.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/autoclear.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/sessionrecord.h"
#include "support/testenv.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

class TestMainSettings : public QObject {
    Q_OBJECT
    TestEnv env;

    static QString get(const char* section, const char* key) {
        return SettingsStore::GetSetting("Brovik", section, key, "absent");
    }

private slots:
    void init() { env.clear(); }

    void failuresStopAtTheFirstStep_data() {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("appliedSteps"); // how many of the six steps took effect
        QTest::newRow("SendCR out of the check box states")
            << QByteArray("[General]\nSendCR=5\n") << 1;
        QTest::newRow("SendCR made of letters") << QByteArray("[General]\nSendCR=abc\n") << 1;
        QTest::newRow("SendLF beyond 16 bits") << QByteArray("[General]\nSendLF=70000\n") << 2;
        QTest::newRow("Port the port rejects") << QByteArray("[COM]\nPort=0\n") << 3;
        QTest::newRow("Settings the port rejects")
            << QByteArray("[COM]\nSettings=9600,q,8,1\n") << 4;
        QTest::newRow("HandShaking out of range") << QByteArray("[COM]\nHandShaking=7\n") << 5;
        QTest::newRow("HandShaking not a number") << QByteArray("[COM]\nHandShaking=both\n") << 5;
    }
    void failuresStopAtTheFirstStep() {
        QFETCH(QByteArray, stored);
        QFETCH(int, appliedSteps);
        // Every other key holds a value that differs from the defaults.
        QByteArray file = "[General]\nAutoClearOnSend=0\nSendCR=1\nSendLF=1\n"
                          "[COM]\nPort=4\nSettings=300,e,7,1\nHandShaking=1\n";
        const QList<QByteArray> override = stored.split('\n');
        const QByteArray key = override[1].left(override[1].indexOf('=') + 1);
        file.replace(
            file.mid(file.indexOf(key), file.indexOf('\n', file.indexOf(key)) - file.indexOf(key)),
            override[1]);
        env.writeSettingsFile(file);

        Terminal t;
        SessionRecord record(t);
        t.loadSettings();
        const QStringList errs = record.errors();
        QCOMPARE(errs.size(), 1);
        QVERIFY2(errs[0].startsWith(QStringLiteral("Err: loadSettings: ")), qPrintable(errs[0]));

        QCOMPARE(t.AutoClearOnSend(), QVariant(QStringLiteral("0")));
        QCOMPARE(int(t.lineEnds().sendCR), appliedSteps > 1 ? 1 : 0);
        QCOMPARE(int(t.lineEnds().sendLF), appliedSteps > 2 ? 1 : 0);
        QCOMPARE(t.port().CommPort(), appliedSteps > 3 ? 4 : 1);
        QCOMPARE(t.port().Settings(),
                 appliedSteps > 4 ? QStringLiteral("300,e,7,1") : QStringLiteral("9600,n,8,1"));
        QCOMPARE(t.port().Handshaking(), 0);
    }

    void aBadStoredValueDoesNotStopTheStart() {
        PtyDevice dev;
        env.writeSettingsFile("[General]\nSendCR=banana\n");
        env.mapPort(1, dev.path());
        Terminal t;
        SessionRecord record(t);
        t.load();
        const QStringList lines = record.logText().split(u'\n');
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QStringLiteral("Info: Loading settings..."));
        QVERIFY(lines[1].startsWith(QStringLiteral("Err: loadSettings: ")));
        QVERIFY2(lines[1].contains(QStringLiteral("banana")), qPrintable(lines[1]));
        QCOMPARE(lines[2], QStringLiteral("Info: Connected to port"));
        QCOMPARE(lines[3], QStringLiteral("Info: Ready!"));
    }

    void aFifoWhereTheFileShouldBeNeitherBlocksNorStopsTheStart() {
        PtyDevice dev;
        env.mapPort(1, dev.path()); // ignored: the file cannot be read once the FIFO is there
        env.clear();
        QVERIFY(QDir().mkpath(QFileInfo(env.settingsFile()).absolutePath()));
        QCOMPARE(::mkfifo(QFile::encodeName(env.settingsFile()).constData(), 0600), 0);
        Terminal t;
        SessionRecord record(t);
        t.load();
        const QStringList errs = record.errors();
        QVERIFY(errs.size() >= 1);
        QCOMPARE(errs[0], QStringLiteral("Err: loadSettings: the settings file %1 is not a "
                                         "regular file: it is a FIFO (named pipe)")
                              .arg(env.settingsFile()));
        // Nothing was applied; the flag means what it means by default.
        QCOMPARE(t.AutoClearOnSend(), QVariant(QStringLiteral("1")));
        t.saveSettings(); // nothing read, so nothing to save over: no attempt, no failure
        QCOMPARE(record.errors(), errs);
        QVERIFY(QFileInfo(env.settingsFile()).exists());
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(env.settingsFile()).constData(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
        QFile::remove(env.settingsFile());
    }

    void unusualValuesSurviveARoundTrip() {
        PtyDevice dev;
        env.writeSettingsFile("[General]\nAutoClearOnSend=letters\nSendCR=2\nSendLF= 1 \n"
                              "[COM]\nSettings=9600,N,8,1\n");
        env.mapPort(1, dev.path());
        Terminal t;
        SessionRecord record(t);
        t.load();
        QCOMPARE(record.errors(), QStringList());
        QCOMPARE(int(t.lineEnds().sendCR), 2); // shows greyed
        QCOMPARE(int(t.lineEnds().sendLF), 1);
        t.saveSettings();
        QCOMPARE(get("General", "AutoClearOnSend"), QStringLiteral("letters"));
        QCOMPARE(get("General", "SendCR"), QStringLiteral("2"));
        QCOMPARE(get("General", "SendLF"), QStringLiteral("1"));
        QCOMPARE(get("COM", "Settings"), QStringLiteral("9600,N,8,1"));
    }

    void anIntegerFlagIsSavedAsOneDigit() {
        Terminal t;
        SessionRecord record(t);
        t.loadSettings();
        t.setAutoClearOnSend(0);
        t.saveSettings();
        QCOMPARE(get("General", "AutoClearOnSend"), QStringLiteral("0"));
        QCOMPARE(record.statuses,
                 QStringList{"Disconnected. Please select your COM port from options."});
    }

    void aFailedSaveIsReportedAndLeavesTheStatusAlone() {
        Terminal t;
        SessionRecord record(t);
        t.loadSettings();
        // A folder where the settings file should be: nothing can be written.
        env.clear();
        QVERIFY(QDir().mkpath(env.settingsFile()));
        t.saveSettings();
        const QStringList errs = record.errors();
        QCOMPARE(errs.size(), 1);
        QVERIFY2(errs[0].startsWith(QStringLiteral("Err: saveSettings: ")), qPrintable(errs[0]));
        QCOMPARE(record.statuses, QStringList()); // the status line was not touched
        QDir(env.settingsFile()).removeRecursively();
    }

    void aFailedLoadSavesNothingItDidNotRead_data() {
        QTest::addColumn<QString>("how"); // what stands where the file should be at start-up
        QTest::addColumn<QString>("kept");
        QTest::addColumn<bool>("changed"); // the user picks other port settings before Exit
        const QString all = QStringLiteral("AutoClearOnSend, SendCR, SendLF, Port, Settings, "
                                           "HandShaking");
        QTest::newRow("a FIFO") << "fifo" << all << false;
        QTest::newRow("a dangling link") << "dangling" << all << false;
        QTest::newRow("another user's link") << "stranger" << all << false;
        QTest::newRow("a FIFO, then a change")
            << "fifo"
            << "AutoClearOnSend, SendCR, SendLF, Port, HandShaking" << true;
        QTest::newRow("a value out of range")
            << "SendCR=5"
            << "SendCR, SendLF, Port, Settings, HandShaking" << false;
    }
    void aFailedLoadSavesNothingItDidNotRead() {
        QFETCH(QString, how);
        QFETCH(QString, kept);
        QFETCH(bool, changed);
        PtyDevice dev;
        QByteArray stored = "; mine\n[General]\nAutoClearOnSend=0\nSendCR=1\nSendLF=1\n\n"
                            "[COM]\nPort=2\nSettings=19200,n,8,1\nHandShaking=1\n"
                            "[Ports]\nCOM2=" +
                            QFile::encodeName(dev.path()) + '\n';
        if (how.contains(u'='))
            stored.replace("SendCR=1", how.toLatin1());
        env.writeSettingsFile(stored);
        const QString file = env.settingsFile();
        const QString aside = file + QStringLiteral(".mine");
        QFile::remove(aside); // left by an earlier row
        const QByteArray native = QFile::encodeName(file);
        if (!how.contains(u'=')) {
            QVERIFY(QFile::rename(file, aside));
            if (how == u"fifo")
                QCOMPARE(::mkfifo(native.constData(), 0600), 0);
            else
                QVERIFY(
                    QFile::link(how == u"dangling" ? file + QStringLiteral(".gone") : aside, file));
            if (how == u"stranger" && ::lchown(native.constData(), 65534, 65534) != 0)
                QSKIP("giving a link to another user needs root");
        }

        Terminal t;
        SessionRecord record(t);
        t.load();
        const QString log = record.logText();
        if (!how.contains(u'=')) {
            // No device the user did not choose: none at all.
            QVERIFY2(log.contains(QStringLiteral("Err: Load: no port was opened, as the settings "
                                                 "that say which one could not be read")),
                     qPrintable(log));
            QVERIFY(!t.port().PortOpen());
            QCOMPARE(storedPortMap().devicePath(1), QString()); // not the first device present
            QVERIFY(autoClearIsOn(t.AutoClearOnSend()));
            QFile::remove(file); // mended before Exit
            QVERIFY(QFile::rename(aside, file));
        }
        if (changed)
            t.port().setSettings(QStringLiteral("300,e,7,1"));
        t.saveSettings();
        QVERIFY2(record.logText().contains(
                     QStringLiteral("saving would overwrite the stored values unseen: ") + kept),
                 qPrintable(record.logText()));
        if (changed)
            stored.replace("19200,n,8,1", "\"300,e,7,1\"");
        QCOMPARE(env.readSettingsFile(), stored);
    }
};

QTEST_GUILESS_MAIN(TestMainSettings)
#include "test_mainsettings.moc"
