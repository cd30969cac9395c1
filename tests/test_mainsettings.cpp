// Loading and saving the main window's settings: conversions, ranges and
// stopping at the first failure.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/formmain.h"
#include "ui/statuspanel.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <sys/stat.h>

class TestMainSettings : public QObject {
    Q_OBJECT
    TestEnv env;

    static QStringList errors(FormMain& w) {
        QStringList out;
        for (const QString& line : w.txtLog->toPlainText().split(u'\n'))
            if (line.startsWith(QStringLiteral("Err: ")))
                out << line;
        return out;
    }
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

        FormMain w;
        w.loadSettings();
        const QStringList errs = errors(w);
        QCOMPARE(errs.size(), 1);
        QVERIFY2(errs[0].startsWith(QStringLiteral("Err: loadSettings: ")), qPrintable(errs[0]));

        QCOMPARE(w.terminal().AutoClearOnSend(), QVariant(QStringLiteral("0")));
        QCOMPARE(w.CheckCR->checkState(), appliedSteps > 1 ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(w.CheckLF->checkState(), appliedSteps > 2 ? Qt::Checked : Qt::Unchecked);
        QCOMPARE(w.MSComm().CommPort(), appliedSteps > 3 ? 4 : 1);
        QCOMPARE(w.MSComm().Settings(),
                 appliedSteps > 4 ? QStringLiteral("300,e,7,1") : QStringLiteral("9600,n,8,1"));
        QCOMPARE(w.MSComm().Handshaking(), 0);
    }

    void aBadStoredValueDoesNotStopTheStart() {
        PtyDevice dev;
        env.writeSettingsFile("[General]\nSendCR=banana\n");
        env.mapPort(1, dev.path());
        FormMain w;
        w.load();
        const QStringList lines = w.txtLog->toPlainText().split(u'\n');
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
        FormMain w;
        w.load();
        const QStringList errs = errors(w);
        QVERIFY(errs.size() >= 1);
        QCOMPARE(errs[0], QStringLiteral("Err: loadSettings: the settings file %1 is not a "
                                         "regular file: it is a FIFO (named pipe)")
                              .arg(env.settingsFile()));
        QCOMPARE(w.terminal().AutoClearOnSend(),
                 QVariant()); // the defaults stay: nothing was applied
        w.btExit_Click();
        QCOMPARE(errors(w).last().left(19), QStringLiteral("Err: saveSettings: "));
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
        FormMain w;
        w.load();
        QCOMPARE(errors(w), QStringList());
        QCOMPARE(w.CheckCR->checkState(), Qt::PartiallyChecked); // shows greyed
        QCOMPARE(w.CheckLF->checkState(), Qt::Checked);
        w.saveSettings();
        QCOMPARE(get("General", "AutoClearOnSend"), QStringLiteral("letters"));
        QCOMPARE(get("General", "SendCR"), QStringLiteral("2"));
        QCOMPARE(get("General", "SendLF"), QStringLiteral("1"));
        QCOMPARE(get("COM", "Settings"), QStringLiteral("9600,N,8,1"));

        // A click on the greyed box makes it an ordinary two-state box.
        w.CheckCR->click();
        QCOMPARE(w.CheckCR->checkState(), Qt::Checked);
        w.CheckCR->click();
        QCOMPARE(w.CheckCR->checkState(), Qt::Unchecked);
        w.CheckCR->click();
        QCOMPARE(w.CheckCR->checkState(), Qt::Checked);
    }

    void anIntegerFlagIsSavedAsOneDigit() {
        FormMain w;
        w.loadSettings();
        w.terminal().setAutoClearOnSend(0);
        w.saveSettings();
        QCOMPARE(get("General", "AutoClearOnSend"), QStringLiteral("0"));
        QCOMPARE(w.statusConnection->text(),
                 QStringLiteral("Disconnected. Please select your COM port from options."));
    }

    void aFailedSaveIsReportedAndLeavesTheStatusAlone() {
        FormMain w;
        w.loadSettings();
        w.statusConnection->setText(QStringLiteral("earlier"));
        // A folder where the settings file should be: nothing can be written.
        env.clear();
        QVERIFY(QDir().mkpath(env.settingsFile()));
        w.saveSettings();
        const QStringList errs = errors(w);
        QCOMPARE(errs.size(), 1);
        QVERIFY2(errs[0].startsWith(QStringLiteral("Err: saveSettings: ")), qPrintable(errs[0]));
        QCOMPARE(w.statusConnection->text(), QStringLiteral("earlier"));
        QDir(env.settingsFile()).removeRecursively();
    }
};

QTEST_MAIN(TestMainSettings)
#include "test_mainsettings.moc"
