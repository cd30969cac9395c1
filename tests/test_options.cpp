// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog's logic on a session, without a window: filling the view
// from the live port, applying it, and what a failed apply leaves. COM1 and
// COM2 are pseudo-terminals, COM3 and COM4 are mapped to nothing, so the
// machine's own devices never show up.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/optionchoices.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/sessionrecord.h"
#include "support/testenv.h"

#include <QTest>

namespace {

const QString Disconnected =
    QStringLiteral("Disconnected. Please select your COM port from options.");

QString stored(const char* section, const QString& key) {
    return SettingsStore::GetSetting(QStringLiteral("Brovik"), QLatin1String(section), key,
                                     QStringLiteral("absent"));
}

QString output(int n) {
    return stored("Outputs", QStringLiteral("Output%1").arg(n));
}

// The flag once the dialog has set it: an integer.
int intFlag(const QVariant& flag) {
    return flag.typeId() == QMetaType::Int ? flag.toInt() : -1;
}

QStringList portTexts(const OptionsView& view) {
    QStringList texts;
    for (const OptionsView::PortEntry& entry : view.ports)
        texts << entry.text;
    return texts;
}

// An optional text for comparing: a missing one reads "(none)".
QString textOf(const std::optional<QString>& text) {
    return text.value_or(QStringLiteral("(none)"));
}

// Selects an entry of a fixed list by its text, as a user picks it.
int entry(const QStringList& list, const char* text) {
    return int(list.indexOf(QLatin1String(text)));
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
    TestEnv env;
    std::unique_ptr<PtyDevice> com1, com2;
    std::unique_ptr<Terminal> t;
    std::unique_ptr<SessionRecord> record;

    QString absent(int n) const { return env.configHome() + QStringLiteral("/absent%1").arg(n); }
    // After a settings file is written: the two devices and the two absent ports.
    void mapPorts() {
        env.mapPort(1, com1->path());
        env.mapPort(2, com2->path());
        env.mapPort(3, absent(3));
        env.mapPort(4, absent(4));
    }
    // A session as the program starts one; what start-up logged is kept.
    void start(bool load = true) {
        t = std::make_unique<Terminal>();
        record = std::make_unique<SessionRecord>(*t);
        if (load)
            t->load();
    }
    OptionsView filled() {
        OptionsView view;
        t->showCurrentSettings(view);
        return view;
    }

private slots:
    void init() {
        env.clear();
        com1 = std::make_unique<PtyDevice>();
        com2 = std::make_unique<PtyDevice>();
        mapPorts();
    }
    void cleanup() {
        record.reset();
        t.reset();
        com1.reset();
        com2.reset();
    }

    void theFillShowsTheLivePort_data() {
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<int>("flow");
        QTest::addColumn<QList<int>>("selected"); // port, baud, data, stop, parity, flow

        QTest::newRow("defaults") << 1 << "9600,n,8,1" << 0 << QList<int>{0, 6, 3, 0, 0, 0};
        QTest::newRow("mark, 1.5 stop bits, RTS/CTS")
            << 2 << "115200,m,5,1.5" << 2 << QList<int>{1, 12, 0, 1, 3, 2};
        QTest::newRow("56000 even XON/XOFF")
            << 2 << "56000,e,7,2" << 1 << QList<int>{1, 10, 2, 2, 2, 1};
        QTest::newRow("57600 space both")
            << 1 << "57600,s,6,2" << 3 << QList<int>{0, 11, 1, 2, 4, 3};
        QTest::newRow("14400 odd") << 1 << "14400,o,8,1" << 0 << QList<int>{0, 7, 3, 0, 1, 0};
        QTest::newRow("unlisted baud") << 1 << "250000,n,8,1" << 0 << QList<int>{0, -1, 3, 0, 0, 0};
        QTest::newRow("upper-case parity")
            << 2 << "9600,N,8,1" << 0 << QList<int>{1, 6, 3, 0, -1, 0};
        QTest::newRow("port beyond COM4")
            << 7 << "9600,n,8,1" << 0 << QList<int>{-1, 6, 3, 0, 0, 0};
        QTest::newRow("absent port") << 3 << "9600,n,8,1" << 0 << QList<int>{-1, 6, 3, 0, 0, 0};
    }
    void theFillShowsTheLivePort() {
        QFETCH(int, port);
        QFETCH(QString, settings);
        QFETCH(int, flow);
        QFETCH(QList<int>, selected);
        // What is stored differs from what is live: the live port wins.
        env.writeSettingsFile("[COM]\nPort=2\nSettings=300,o,7,1\nHandShaking=1\n"
                              "[Outputs]\nOutput2=AT0x0Dh\nOutput8=last\n");
        mapPorts();
        start(false);
        t->setAutoClearOnSend(QStringLiteral("1"));
        SerialPort& comm = t->port();
        comm.setCommPort(port);
        comm.setSettings(settings);
        comm.setHandshaking(flow);
        if (port <= 2) {
            comm.setPortOpen(true); // the open port itself is listed and selected
            QVERIFY(comm.PortOpen());
        }

        const OptionsView view = filled();
        QCOMPARE(record->logText(), QString());
        QCOMPARE(portTexts(view), (QStringList{"COM1", "COM2"}));
        QCOMPARE(view.ports[0].toolTip, com1->path());
        QCOMPARE(view.ports[1].toolTip, com2->path());
        const QList<int> selections = {view.port,     view.baudRate, view.dataBits,
                                       view.stopBits, view.parity,   view.flow};
        QCOMPARE(selections, selected);
        QCOMPARE(view.autoClear, qint16(1));
        const QStringList texts = {"", "AT0x0Dh", "", "", "", "", "", "last"};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(textOf(view.outputs[i]), texts[i]);
        // Filling changes nothing outside the dialog.
        QCOMPARE(comm.Settings(), settings);
        QCOMPARE(comm.PortOpen(), port <= 2);
    }

    void noPresentPortLeavesThePortListEmpty() {
        env.mapPort(1, absent(1));
        env.mapPort(2, absent(2));
        start();
        const OptionsView view = filled();
        QCOMPARE(view.ports.size(), 0);
        QCOMPARE(view.port, -1);
        QCOMPARE(view.baudRate, 6);
    }

    void theFlagSetsTheBoxState_data() {
        QTest::addColumn<QVariant>("flag");
        QTest::addColumn<int>("state"); // 0 clear, 1 ticked, 2 greyed; -1 when the fill fails
        QTest::addColumn<QString>("error");
        QTest::newRow("stored 1") << QVariant(QStringLiteral("1")) << 1 << "";
        QTest::newRow("stored 0") << QVariant(QStringLiteral("0")) << 0 << "";
        QTest::newRow("stored 2 is greyed") << QVariant(QStringLiteral("2")) << 2 << "";
        QTest::newRow("set by the dialog") << QVariant(1) << 1 << "";
        QTest::newRow("letters") << QVariant(QStringLiteral("yes")) << -1
                                 << "Options: the AutoClearOnSend flag \"yes\" is not a number";
        QTest::newRow("not a state") << QVariant(QStringLiteral("5")) << -1
                                     << "Options: the AutoClearOnSend flag 5 is not a check box "
                                        "state (0 clear, 1 ticked, 2 greyed)";
        QTest::newRow("beyond 16 bits")
            << QVariant(QStringLiteral("70000")) << -1
            << "Options: the AutoClearOnSend flag 70000 is out of range (-32768 to 32767)";
    }
    void theFlagSetsTheBoxState() {
        QFETCH(QVariant, flag);
        QFETCH(int, state);
        QFETCH(QString, error);
        env.writeSettingsFile("[Outputs]\nOutput1=stored\n");
        mapPorts();
        start();
        record->clear();
        t->setAutoClearOnSend(flag);
        const OptionsView view = filled();
        if (state >= 0) {
            QCOMPARE(record->logText(), QString());
            QCOMPARE(int(view.autoClear), state);
            QCOMPARE(textOf(view.outputs[0]), QStringLiteral("stored"));
            return;
        }
        // The first failing step stops the fill: everything after it stays empty.
        QCOMPARE(record->logText(), QStringLiteral("Err: ") + error + u'\n');
        QCOMPARE(view.autoClear, qint16(0));
        QCOMPARE(textOf(view.outputs[0]), QStringLiteral("(none)"));
        QCOMPARE(view.ports.size(), 0);
        QCOMPARE(view.baudRate, -1);
        QCOMPARE(view.flow, -1);
    }

    void aMissingSelectionFailsWhereItIsHandedOn_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("settings");
        QTest::newRow("data bits") << "data bits"
                                   << "no data bits selected"
                                   << "9600,n,8,1";
        QTest::newRow("stop bits") << "stop bits"
                                   << "no stop bits selected"
                                   << "9600,n,8,1";
        QTest::newRow("flow") << "flow"
                              << "no flow control selected"
                              << "19200,o,7,1";
    }
    void aMissingSelectionFailsWhereItIsHandedOn() {
        QFETCH(QString, list);
        QFETCH(QString, description);
        QFETCH(QString, settings);
        start();
        OptionsView view = filled();
        view.port = 1; // COM2
        view.baudRate = entry(OptionChoices::BaudRates, "19200");
        view.parity = entry(OptionChoices::Parities, "Odd");
        view.dataBits = entry(OptionChoices::DataBits, "7");
        view.flow = entry(OptionChoices::FlowControls, "Hardware (RTS/CTS)");
        (list == u"data bits"   ? view.dataBits
         : list == u"stop bits" ? view.stopBits
                                : view.flow) = -1;
        QCOMPARE(textOf(t->applyOptions(view)), description);
        SerialPort& comm = t->port();
        QCOMPARE(comm.CommPort(), 2);
        QCOMPARE(comm.Settings(), settings);
        QCOMPARE(comm.Handshaking(), 0);
        QVERIFY(!comm.PortOpen());
    }

    void aPortOutsideTheListFailsAtThePortStep_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<bool>("present"); // COM1 and COM2 present
        QTest::addColumn<QString>("statusBefore");
        QTest::addColumn<int>("yes");
        for (int yes : {0, 1}) {
            const char* answer = yes ? ", Yes" : ", No";
            QTest::addRow("COM7 open%s", answer)
                << QByteArray("[COM]\nPort=7\n") << true
                << QStringLiteral("Connected to COM7:9600,n,8,1") << yes;
            QTest::addRow("COM3 absent%s", answer)
                << QByteArray("[COM]\nPort=3\n") << true << QString() << yes;
            QTest::addRow("no port present%s", answer)
                << QByteArray("[COM]\nPort=1\n") << false << QString() << yes;
        }
    }
    void aPortOutsideTheListFailsAtThePortStep() {
        QFETCH(QByteArray, ini);
        QFETCH(bool, present);
        QFETCH(QString, statusBefore);
        QFETCH(int, yes);
        PtyDevice com7;
        env.writeSettingsFile(ini);
        mapPorts();
        env.mapPort(7, com7.path());
        if (!present) {
            env.mapPort(1, absent(1));
            env.mapPort(2, absent(2));
        }
        start();
        QCOMPARE(record->status(), statusBefore);
        const int port = t->port().CommPort();

        OptionsView view = filled();
        QCOMPARE(view.ports.size(), present ? 2 : 0);
        QCOMPARE(view.port, -1);
        // The user clears the ticked box and types an output.
        view.autoClear = 0;
        t->CheckAutoClear_Click(0);
        view.outputs[2] = QStringLiteral("third");
        QCOMPARE(textOf(t->applyOptions(view)), QStringLiteral("no port selected"));
        if (yes)
            t->saveSettings(); // "Save settings anyway?"

        // The flag and the outputs went before the failure; the port is closed.
        QCOMPARE(intFlag(t->AutoClearOnSend()), 0);
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(output(n), n == 3 ? QStringLiteral("third") : QString());
        QVERIFY(!t->port().PortOpen());
        QCOMPARE(t->port().CommPort(), port);
        if (yes) {
            QCOMPARE(stored("COM", "Port"), QString::number(port));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("9600,n,8,1"));
            QCOMPARE(stored("COM", "HandShaking"), QStringLiteral("0"));
            QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("0"));
            QCOMPARE(record->status(), Disconnected);
        } else {
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("absent"));
            QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("absent"));
            QCOMPARE(record->status(), statusBefore);
        }
    }

    void aPortHeldByAnotherProgramFailsAtOpening_data() {
        QTest::addColumn<int>("yes");
        QTest::newRow("Yes") << 1;
        QTest::newRow("No") << 0;
    }
    void aPortHeldByAnotherProgramFailsAtOpening() {
        QFETCH(int, yes);
        start();
        SerialPort holder(storedPortEntries());
        holder.setCommPort(2);
        holder.setPortOpen(true);

        OptionsView view = filled();
        view.port = 1; // COM2
        view.baudRate = entry(OptionChoices::BaudRates, "19200");
        view.parity = entry(OptionChoices::Parities, "Even");
        view.dataBits = entry(OptionChoices::DataBits, "7");
        view.stopBits = entry(OptionChoices::StopBits, "2");
        view.flow = entry(OptionChoices::FlowControls, "Software (XON/XOFF)");
        QCOMPARE(textOf(t->applyOptions(view)),
                 QStringLiteral("cannot open COM2 (") + com2->path() +
                     QStringLiteral("): the device is in use by another program"));
        if (yes)
            t->saveSettings();

        SerialPort& comm = t->port();
        QCOMPARE(comm.CommPort(), 2);
        QCOMPARE(comm.Settings(), QStringLiteral("19200,e,7,2"));
        QCOMPARE(comm.Handshaking(), 1);
        QVERIFY(!comm.PortOpen());
        QVERIFY(holder.PortOpen());
        if (yes) {
            QCOMPARE(stored("COM", "Port"), QStringLiteral("2"));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("19200,e,7,2"));
            QCOMPARE(stored("COM", "HandShaking"), QStringLiteral("1"));
            QCOMPARE(record->status(), Disconnected);
        } else {
            QCOMPARE(stored("COM", "Port"), QStringLiteral("absent"));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("absent"));
            QCOMPARE(record->status(), QStringLiteral("Connected to COM1:9600,n,8,1"));
        }
    }

    void anUnlistedLiveValueFailsBeforeTheSettingsChange() {
        const QString settings = QStringLiteral("9600,N,8,1"); // upper-case parity
        env.writeSettingsFile("[COM]\nSettings=" + settings.toLatin1() + "\nHandShaking=2\n");
        mapPorts();
        start();
        QVERIFY(t->port().PortOpen());
        OptionsView view = filled();
        view.port = 1; // COM2
        view.flow = entry(OptionChoices::FlowControls, "None");
        QCOMPARE(textOf(t->applyOptions(view)), QStringLiteral("no parity selected"));
        SerialPort& comm = t->port();
        QCOMPARE(comm.CommPort(), 2);
        QCOMPARE(comm.Settings(), settings);
        QCOMPARE(comm.Handshaking(), 2);
        QVERIFY(!comm.PortOpen());
    }

    // A rate typed into the baud list, taken when no entry is selected.
    void aTypedBaudRateOutOfRangeFails_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("below 50") << "30";
        QTest::newRow("above 4,000,000") << "4000001";
        QTest::newRow("a sign") << "+9600";
    }
    void aTypedBaudRateOutOfRangeFails() {
        QFETCH(QString, typed);
        start();
        OptionsView view = filled();
        view.baudRate = -1;
        view.baudRateText = typed;
        QCOMPARE(textOf(t->applyOptions(view)),
                 QStringLiteral("the baud rate \"") + typed +
                     QStringLiteral("\" is not a whole number from 50 to 4,000,000"));
        QVERIFY(!t->port().PortOpen());
    }

    void applyReconfiguresTheLivePortAndStaysOpen() {
        env.writeSettingsFile("[COM]\nHandShaking=2\n");
        mapPorts();
        start();
        OptionsView view = filled();
        QCOMPARE(view.flow, entry(OptionChoices::FlowControls, "Hardware (RTS/CTS)"));
        view.port = 1; // COM2
        view.baudRate = entry(OptionChoices::BaudRates, "115200");
        view.parity = entry(OptionChoices::Parities, "Mark");
        view.dataBits = entry(OptionChoices::DataBits, "5");
        view.stopBits = entry(OptionChoices::StopBits, "1.5");
        view.flow = entry(OptionChoices::FlowControls, "Hard and Soft");
        view.outputs[7] = QStringLiteral("ATH0x0Dh");
        QCOMPARE(textOf(t->applyOptions(view)), QStringLiteral("(none)"));

        QCOMPARE(record->status(), QStringLiteral("Connected to COM2:115200,m,5,1.5"));
        SerialPort& comm = t->port();
        QVERIFY(comm.PortOpen());
        QCOMPARE(comm.openDevice(), com2->path());
        QCOMPARE(comm.Handshaking(), 3);
        QCOMPARE(stored("COM", "Port"), QStringLiteral("2"));
        QCOMPARE(stored("COM", "Settings"), QStringLiteral("115200,m,5,1.5"));
        QCOMPARE(stored("COM", "HandShaking"), QStringLiteral("3"));
        QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("1"));
        for (int n = 1; n <= 7; ++n)
            QCOMPARE(output(n), QString()); // empty outputs are stored as empty
        QCOMPARE(output(8), QStringLiteral("ATH0x0Dh"));

        // The reopened port reads everything waiting in one go.
        com2->write("hello");
        QTRY_COMPARE(comm.InBufferCount(), 5);
        QCOMPARE(comm.Input(), QStringLiteral("hello"));

        // A new opening shows the applied values, flow code 3 included.
        const OptionsView again = filled();
        QCOMPARE(again.port, 1);
        QCOMPARE(again.parity, entry(OptionChoices::Parities, "Mark"));
        QCOMPARE(again.stopBits, entry(OptionChoices::StopBits, "1.5"));
        QCOMPARE(again.flow, entry(OptionChoices::FlowControls, "Hard and Soft"));
        QCOMPARE(textOf(again.outputs[7]), QStringLiteral("ATH0x0Dh"));
    }
};

QTEST_GUILESS_MAIN(TestOptions)
#include "test_options.moc"
