// SPDX-License-Identifier: GPL-3.0-or-later
// Resetting the board, sending a break and the line states at opening, on a
// fake port that records each line change with the time it was made, and on
// a pseudo-terminal, which has no modem lines.
#include "base/failure.h"
#include "serial/boardlines.h"
#include "serial/serialport.h"
#include "settings/boardsettings.h"
#include "settings/portentries.h"
#include "support/ptydevice.h"
#include "support/testenv.h"

#include <QTest>

namespace {

// "100 DTR 1": at 100 ms DTR was set on. Time passes only in hold().
class FakeLines : public ModemLines {
public:
    std::optional<States> lines;
    QStringList record;

    std::optional<States> modemLines() override { return lines; }
    void setDtr(bool on) override { change("DTR", on, &States::dtr); }
    void setRts(bool on) override { change("RTS", on, &States::rts); }
    void setBreak(bool on) override { note("BREAK", on); }
    void hold(int ms) override { m_now += ms; }

private:
    void change(const char* line, bool on, bool States::*state) {
        if (!lines)
            throw Failure(QStringLiteral("no such line"));
        (*lines).*state = on;
        note(line, on);
    }
    void note(const char* line, bool on) {
        record << QStringLiteral("%1 %2 %3")
                      .arg(QString::number(m_now), QLatin1String(line), QString::number(int(on)));
    }
    int m_now = 0;
};

const PortNames Com1{QStringLiteral("COM1"), QStringLiteral("COM1 (/dev/pts/9)"), 0};

} // namespace

class TestBoardLines : public QObject {
    Q_OBJECT
    TestEnv env;

private slots:
    void resetPulsesTheLinesOfItsMethod_data() {
        QTest::addColumn<int>("method");
        QTest::addColumn<int>("ms");
        QTest::addColumn<int>("handshaking");
        QTest::addColumn<QString>("linesBefore"); // "DTR RTS" as 0/1, or "none"
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("outcome"); // the Info line, or "refused: " and the reason
        const int dtr = int(ResetMethod::Dtr), rts = int(ResetMethod::Rts),
                  esp = int(ResetMethod::Esp), none = int(ResetMethod::None);
        QTest::newRow("DTR pulse")
            << dtr << 100 << 0 << "1 1" << QStringList{"0 DTR 0", "100 DTR 1"}
            << "Reset COM1 (DTR pulse 100 ms)";
        QTest::newRow("DTR pulse from a lowered DTR")
            << dtr << 250 << 0 << "0 1" << QStringList{"0 DTR 1", "250 DTR 0"}
            << "Reset COM1 (DTR pulse 250 ms)";
        QTest::newRow("DTR beside RTS/CTS")
            << dtr << 100 << 2 << "1 1" << QStringList{"0 DTR 0", "100 DTR 1"}
            << "Reset COM1 (DTR pulse 100 ms)";
        QTest::newRow("RTS pulse")
            << rts << 100 << 1 << "1 1" << QStringList{"0 RTS 0", "100 RTS 1"}
            << "Reset COM1 (RTS pulse 100 ms)";
        const QString rtsTaken = QStringLiteral(
            "refused: this reset needs RTS, which belongs to the RTS/CTS flow control of COM1: use "
            "Reset=dtr, or flow control None or XON/XOFF");
        QTest::newRow("RTS under RTS/CTS") << rts << 100 << 2 << "1 1" << QStringList{} << rtsTaken;
        // EN low (RTS on, DTR off) while IO0 stays high, then EN high with
        // IO0 still high for as long again, then the lines as they were.
        QTest::newRow("ESP auto-reset")
            << esp << 100 << 0 << "1 1"
            << QStringList{"0 DTR 0", "0 RTS 1", "100 RTS 0", "200 DTR 1", "200 RTS 1"}
            << "Reset COM1 (ESP32/ESP8266 auto-reset, EN low 100 ms)";
        QTest::newRow("ESP under both flow controls")
            << esp << 100 << 3 << "1 1" << QStringList{} << rtsTaken;
        QTest::newRow("switched off")
            << none << 100 << 0 << "1 1" << QStringList{}
            << "refused: resetting is switched off for COM1 (Reset=none in the [COM] section of "
               "the settings file)";
        QTest::newRow("no modem lines")
            << dtr << 100 << 0 << "none" << QStringList{}
            << "refused: COM1 (/dev/pts/9) has no DTR or RTS line (a pseudo-terminal has none): "
               "the board was not reset";
    }
    void resetPulsesTheLinesOfItsMethod() {
        QFETCH(int, method);
        QFETCH(int, ms);
        QFETCH(int, handshaking);
        QFETCH(QString, linesBefore);
        QFETCH(QStringList, record);
        QFETCH(QString, outcome);
        FakeLines fake;
        if (linesBefore != u"none")
            fake.lines = ModemLines::States{linesBefore[0] == u'1', linesBefore[2] == u'1'};
        PortNames port = Com1;
        port.handshaking = handshaking;
        QString got;
        try {
            got = resetBoard(fake, {static_cast<ResetMethod>(method), ms}, port);
        } catch (const Failure& f) {
            got = QStringLiteral("refused: ") + f.description();
        }
        QCOMPARE(got, outcome);
        QCOMPARE(fake.record, record);
    }

    void breakAndOpeningStates_data() {
        QTest::addColumn<QString>("operation"); // "break", or "open" with the wanted DTR RTS
        QTest::addColumn<int>("handshaking");
        QTest::addColumn<bool>("hasLines");
        QTest::addColumn<QStringList>("record");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("break") << "break" << 0 << true << QStringList{"0 BREAK 1", "250 BREAK 0"}
                               << "Sent a 250 ms break to COM1";
        QTest::newRow("break without modem lines")
            << "break" << 0 << false << QStringList{}
            << "refused: COM1 (/dev/pts/9) has no modem control lines (a pseudo-terminal has "
               "none): no break was sent";
        QTest::newRow("opening as the system does")
            << "open 1 1" << 0 << true << QStringList{} << "";
        QTest::newRow("opening with DTR low")
            << "open 0 1" << 0 << true << QStringList{"0 DTR 0"} << "";
        QTest::newRow("opening with RTS low")
            << "open 1 0" << 1 << true << QStringList{"0 RTS 0"} << "";
        QTest::newRow("RTS left to RTS/CTS") << "open 1 0" << 2 << true << QStringList{} << "";
        QTest::newRow("nothing to lower") << "open 0 0" << 0 << false << QStringList{} << "";
    }
    void breakAndOpeningStates() {
        QFETCH(QString, operation);
        QFETCH(int, handshaking);
        QFETCH(bool, hasLines);
        QFETCH(QStringList, record);
        QFETCH(QString, outcome);
        FakeLines fake;
        if (hasLines)
            fake.lines = ModemLines::States{};
        QString got;
        try {
            if (operation == u"break")
                got = sendBreak(fake, Com1);
            else
                applyLinesOnOpen(fake, {operation[5] == u'1', operation[7] == u'1'}, handshaking);
        } catch (const Failure& f) {
            got = QStringLiteral("refused: ") + f.description();
        }
        QCOMPARE(got, outcome);
        QCOMPARE(fake.record, record);
    }

    void theStoredKeysAreChecked_data() {
        QTest::addColumn<QByteArray>("section");
        QTest::addColumn<QString>("outcome");
        QTest::newRow("defaults") << QByteArray() << "dtr 100, DTR 1 RTS 1";
        QTest::newRow("ESP, any case")
            << QByteArray("Reset=ESP\nResetMs=50\nDTR=0\nRTS=0\n") << "esp 50, DTR 0 RTS 0";
        QTest::newRow("unknown method")
            << QByteArray("Reset=pulse\n")
            << "invalid Reset \"pulse\" in the [COM] section (use dtr, rts, esp or none)";
        QTest::newRow("pulse too long") << QByteArray("ResetMs=5000\n")
                                        << "the stored ResetMs 5000 is out of range (1 to 1000)";
        QTest::newRow("DTR neither 0 nor 1")
            << QByteArray("DTR=on\n")
            << "invalid DTR \"on\" in the [COM] section (use 1 to keep it raised when the port "
               "opens, or 0 to lower it)";
    }
    void theStoredKeysAreChecked() {
        QFETCH(QByteArray, section);
        QFETCH(QString, outcome);
        env.writeSettingsFile("[COM]\n" + section);
        QString got;
        try {
            static const char* const methods[] = {"dtr", "rts", "esp", "none"};
            const ResetPlan plan = storedResetPlan();
            const LinesOnOpen lines = storedLinesOnOpen();
            got = QStringLiteral("%1 %2, DTR %3 RTS %4")
                      .arg(QLatin1String(methods[int(plan.method)]), QString::number(plan.pulseMs),
                           QString::number(int(lines.dtr)), QString::number(int(lines.rts)));
        } catch (const Failure& f) {
            got = f.description();
        }
        QCOMPARE(got, outcome);
    }

    // The real port on a pseudo-terminal: it opens with lowered lines asked
    // for, and a reset or a break is refused rather than reported as done.
    void aPseudoTerminalHasNoModemLines() {
        env.clear();
        PtyDevice dev;
        env.mapPort(1, dev.path());
        SerialPort port(storedPortEntries());
        port.setLinesOnOpen({false, false});
        port.setPortOpen(true);
        QVERIFY(!port.modemLines());
        const PortNames names{QStringLiteral("COM1"), port.portLabel(), 0};
        QVERIFY_THROWS_EXCEPTION(Failure, resetBoard(port, {}, names));
        try {
            resetBoard(port, {}, names);
        } catch (const Failure& f) {
            QCOMPARE(f.description(), QStringLiteral("COM1 (%1) has no DTR or RTS line (a "
                                                     "pseudo-terminal has none): the board was "
                                                     "not reset")
                                          .arg(dev.path()));
        }
        QVERIFY_THROWS_EXCEPTION(Failure, sendBreak(port, names));
        QVERIFY(port.PortOpen());
    }
};

QTEST_GUILESS_MAIN(TestBoardLines)
#include "test_boardlines.moc"
