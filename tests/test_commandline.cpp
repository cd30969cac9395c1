// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the program entry receives it, and brovik --list.
#include "serial/comportmap.h"
#include "serial/portlisting.h"
#include "session/commandline.h"
#include "settings/portentries.h"
#include "support/ptydevice.h"
#include "support/testenv.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// A parse in one line: the action and what it carries, or the error.
QString summary(const CommandLine& cl) {
    if (!cl.error.isEmpty())
        return QStringLiteral("error: ") + cl.error;
    static const char* const names[] = {"run", "list", "release", "reclaim", "help", "version"};
    QStringList parts{QLatin1String(names[static_cast<int>(cl.action)])};
    if (cl.port.comPort)
        parts << QStringLiteral("port=COM%1").arg(*cl.port.comPort);
    if (cl.port.device)
        parts << QStringLiteral("device=") + *cl.port.device;
    if (cl.port.settings)
        parts << QStringLiteral("settings=") + *cl.port.settings;
    if (cl.port.handshaking)
        parts << QStringLiteral("handshaking=%1").arg(*cl.port.handshaking);
    if (cl.capture)
        parts << QStringLiteral("capture=") + *cl.capture;
    return parts.join(u' ');
}

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
    TestEnv env;
    PtyDevice dev;

private slots:
    void eachLineParsesOrGivesOneClearError_data() {
        QTest::addColumn<QStringList>("arguments"); // "PTY" stands for a device that exists
        QTest::addColumn<QString>("expected");
        const QString help = QStringLiteral(" (brovik --help lists the options)");
        QTest::newRow("nothing") << QStringList{} << "run";
        QTest::newRow("COM number") << QStringList{"--port", "COM3"} << "run port=COM3";
        QTest::newRow("COM in lower case") << QStringList{"--port=com12"} << "run port=COM12";
        QTest::newRow("device and settings")
            << QStringList{"--port", "PTY", "--settings", "74880,n,8,1"}
            << "run device=PTY settings=74880,n,8,1";
        QTest::newRow("flow control")
            << QStringList{"--handshaking", "rtscts"} << "run handshaking=2";
        QTest::newRow("flow control, any case")
            << QStringList{"--handshaking", "XonXoff"} << "run handshaking=1";
        QTest::newRow("both flow controls")
            << QStringList{"--handshaking", "both"} << "run handshaking=3";
        QTest::newRow("capture") << QStringList{"--capture", "board.log"}
                                 << "run capture=board.log";
        QTest::newRow("Qt's own options pass")
            << QStringList{"-platform", "offscreen", "--port", "COM2", "-reverse"}
            << "run port=COM2";
        QTest::newRow("list") << QStringList{"--list"} << "list";
        QTest::newRow("release") << QStringList{"--release"} << "release";
        QTest::newRow("reclaim") << QStringList{"--reclaim"} << "reclaim";
        QTest::newRow("help wins") << QStringList{"--list", "-h"} << "help";
        QTest::newRow("version") << QStringList{"-v"} << "version";

        QTest::newRow("COM0") << QStringList{"--port", "COM0"}
                              << "error: --port takes COMn (such as COM1) or a device path (such "
                                 "as /dev/ttyACM0), not \"COM0\"";
        QTest::newRow("COM number too large")
            << QStringList{"--port", "COM40000"}
            << "error: --port takes COMn (such as COM1) or a device path (such as /dev/ttyACM0), "
               "not \"COM40000\"";
        QTest::newRow("absent device") << QStringList{"--port", "/dev/absent-ttyUSB9"}
                                       << "error: --port /dev/absent-ttyUSB9: no such device";
        QTest::newRow("bad settings")
            << QStringList{"--settings", "9600,x,8,1"}
            << "error: --settings: invalid parity \"x\" in settings \"9600,x,8,1\" (use n, o, e, "
               "m or s)";
        QTest::newRow("settings without a value")
            << QStringList{"--settings"} << "error: missing value after '--settings'" + help;
        QTest::newRow("unknown flow control")
            << QStringList{"--handshaking", "hardware"}
            << "error: --handshaking takes none, xonxoff, rtscts or both, not \"hardware\"";
        QTest::newRow("unknown option")
            << QStringList{"--baud", "9600"} << "error: unknown option 'baud'" + help;
        QTest::newRow("stray argument")
            << QStringList{"COM1"} << "error: unexpected argument \"COM1\"" + help;
        QTest::newRow("a port twice") << QStringList{"--port", "COM1", "--port", "COM2"}
                                      << "error: --port is given more than once";
        QTest::newRow("empty capture")
            << QStringList{"--capture", ""} << "error: --capture needs a file name";
        QTest::newRow("two actions")
            << QStringList{"--list", "--release"} << "error: --list and --release go one at a time";
        QTest::newRow("window options with an action")
            << QStringList{"--reclaim", "--port", "COM1"}
            << "error: --port, --settings, --handshaking and --capture are for the window; they "
               "do not go with --reclaim";
    }
    void eachLineParsesOrGivesOneClearError() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, expected);
        arguments.replaceInStrings(QRegularExpression(QStringLiteral("^PTY$")), dev.path());
        const CommandLine cl = parseCommandLine(QStringList{QStringLiteral("brovik")} + arguments);
        QCOMPARE(summary(cl), expected.replace(QStringLiteral("=PTY"), u'=' + dev.path()));
        QVERIFY(!cl.error.contains(u'\n'));
    }

    void helpNamesEveryOption() {
        const CommandLine cl =
            parseCommandLine({QStringLiteral("brovik"), QStringLiteral("--help")});
        QVERIFY(cl.helpText.startsWith(QStringLiteral("Usage: brovik [options]")));
        for (const char* option :
             {"--port <COMn|DEVICE>", "--settings", "--handshaking", "--capture <FILE>", "--list",
              "--release", "--reclaim", "--version", "--help"})
            QVERIFY2(cl.helpText.contains(QLatin1String(option)), option);
        QVERIFY(!cl.helpText.contains(QStringLiteral("platform")));
    }

    // The map's explicit entries and a device named for this run, whatever
    // devices the machine has on the other numbers.
    void theListShowsEachMappedNumberAndItsDevice() {
        env.clear();
        const QString absent = env.configHome() + QStringLiteral("/absent");
        env.mapPort(2, dev.path());
        env.mapPort(3, absent);
        PtyDevice other;
        const int n = storedPortMap().mapForThisRun(other.path());
        QCOMPARE(storedPortMap().mapForThisRun(dev.path()), 2); // a device keeps its own number
        QMap<QString, QStringList> rows;
        const QStringList lines = comPortListing(storedPortMap()).split(u'\n', Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            const QStringList columns = line.split(QRegularExpression(QStringLiteral(" {2,}")));
            QCOMPARE(columns.size(), 4);
            rows.insert(columns.first(), columns.mid(1));
        }
        QCOMPARE(lines.first().split(QRegularExpression(QStringLiteral(" {2,}"))),
                 (QStringList{"COM", "Device", "USB product", "Serial number"}));
        QCOMPARE(rows.value(QStringLiteral("COM2")), (QStringList{dev.path(), "-", "-"}));
        QCOMPARE(rows.value(QStringLiteral("COM3")), (QStringList{absent, "(not present)", "-"}));
        QCOMPARE(rows.value(QStringLiteral("COM%1").arg(n)), (QStringList{other.path(), "-", "-"}));
        QVERIFY(n != 2 && n != 3);
        ComPortMap::forgetRunMappings();
        QCOMPARE(storedPortMap().numberOf(other.path()), 0);
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_commandline.moc"
