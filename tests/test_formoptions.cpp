// The Options dialog: filling from the live port, applying, the warning box,
// the layout and the keyboard. COM1 and COM2 are pseudo-terminals, COM3 and
// COM4 are mapped to nothing, so the machine's own devices never show up.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/formmain.h"
#include "ui/formoptions.h"
#include "ui/statuspanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

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

QString boxText(const QString& description) {
    return QStringLiteral("Error in setings: ") + description + QString(20, u' ') +
           QStringLiteral("\r\nSave settings anyway?");
}

// Answers every message box that comes up with `reply`, noting what it showed.
class BoxAnswerer : public QObject {
public:
    struct Seen {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    QMessageBox::StandardButton reply = QMessageBox::No;
    QList<Seen> seen;

    BoxAnswerer() {
        m_poll.setInterval(10);
        connect(&m_poll, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            Seen s;
            s.title = box->windowTitle();
            s.text = box->text();
            s.icon = box->icon();
            s.buttons = box->standardButtons();
            s.defaultButton = box->standardButton(box->defaultButton());
            seen.append(s);
            if (QAbstractButton* b = box->button(reply))
                b->click();
            else
                box->reject();
        });
    }
    void start(QMessageBox::StandardButton answer) {
        reply = answer;
        seen.clear();
        m_poll.start();
    }
    void stop() { m_poll.stop(); }

private:
    QTimer m_poll;
};

} // namespace

class TestFormOptions : public QObject {
    Q_OBJECT
    TestEnv env;
    std::unique_ptr<PtyDevice> com1, com2;
    BoxAnswerer boxes;

    QString absent(int n) const { return env.configHome() + QStringLiteral("/absent%1").arg(n); }
    // After a settings file is written: the two devices and the two absent ports.
    void mapPorts() {
        env.mapPort(1, com1->path());
        env.mapPort(2, com2->path());
        env.mapPort(3, absent(3));
        env.mapPort(4, absent(4));
    }
    static std::unique_ptr<FormMain> started() {
        auto w = std::make_unique<FormMain>();
        w->load();
        return w;
    }
    static QString status(FormMain& w) { return w.statusConnection->text(); }
    // The flag once the dialog has set it: an integer.
    static int intFlag(const QVariant& flag) {
        return flag.typeId() == QMetaType::Int ? flag.toInt() : -1;
    }
    static QStringList items(const QComboBox* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->itemText(i);
        return texts;
    }
    static void select(QComboBox* list, const QString& text) {
        const int i = list->findText(text, Qt::MatchExactly);
        QVERIFY2(i >= 0, qPrintable(text));
        list->setCurrentIndex(i);
    }
    void checkWarning(const QString& description) {
        QCOMPARE(boxes.seen.size(), 1);
        const BoxAnswerer::Seen& s = boxes.seen.first();
        QCOMPARE(s.title, QStringLiteral("Error Occurred"));
        QCOMPARE(s.text, boxText(description));
        QCOMPARE(s.icon, QMessageBox::Warning);
        QCOMPARE(s.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(s.defaultButton, QMessageBox::No);
    }

private slots:
    void init() {
        env.clear();
        com1 = std::make_unique<PtyDevice>();
        com2 = std::make_unique<PtyDevice>();
        mapPorts();
        boxes.start(QMessageBox::No);
    }
    void cleanup() {
        boxes.stop();
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
        FormMain w;
        w.terminal().setAutoClearOnSend(QStringLiteral("1"));
        SerialPort& comm = w.MSComm();
        comm.setCommPort(port);
        comm.setSettings(settings);
        comm.setHandshaking(flow);
        if (port <= 2) {
            comm.setPortOpen(true); // the open port itself is listed and selected
            QVERIFY(comm.PortOpen());
        }

        FormOptions dlg(&w, w.terminal());
        dlg.load();
        QCOMPARE(w.txtLog->toPlainText(), QString());
        QCOMPARE(items(dlg.ComboPort), (QStringList{"COM1", "COM2"}));
        QCOMPARE(dlg.ComboPort->itemData(0, Qt::ToolTipRole).toString(), com1->path());
        QCOMPARE(dlg.ComboPort->itemData(1, Qt::ToolTipRole).toString(), com2->path());
        const QList<QComboBox*> lists = {dlg.ComboPort,     dlg.ComboBaudRate, dlg.ComboDataBits,
                                         dlg.ComboStopBits, dlg.ComboParity,   dlg.ComboFlow};
        for (int i = 0; i < lists.size(); ++i)
            QCOMPARE(lists[i]->currentIndex(), selected[i]);
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Checked);
        const QStringList texts = {"", "AT0x0Dh", "", "", "", "", "", "last"};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(dlg.TextOut1[i]->text(), texts[i]);
        // Filling changes nothing outside the dialog.
        QCOMPARE(comm.Settings(), settings);
        QCOMPARE(comm.PortOpen(), port <= 2);
    }

    void noPresentPortLeavesThePortListEmpty() {
        env.mapPort(1, absent(1));
        env.mapPort(2, absent(2));
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QCOMPARE(dlg.ComboPort->count(), 0);
        QCOMPARE(dlg.ComboPort->currentIndex(), -1);
        QCOMPARE(dlg.ComboBaudRate->currentIndex(), 6);
    }

    void theFlagSetsTheCheckBox_data() {
        QTest::addColumn<QVariant>("flag");
        QTest::addColumn<int>("state"); // Qt::CheckState, or -1 when the fill fails
        QTest::addColumn<QString>("error");
        QTest::newRow("stored 1") << QVariant(QStringLiteral("1")) << int(Qt::Checked) << "";
        QTest::newRow("stored 0") << QVariant(QStringLiteral("0")) << int(Qt::Unchecked) << "";
        QTest::newRow("stored 2 is greyed")
            << QVariant(QStringLiteral("2")) << int(Qt::PartiallyChecked) << "";
        QTest::newRow("set by the dialog") << QVariant(1) << int(Qt::Checked) << "";
        QTest::newRow("letters") << QVariant(QStringLiteral("yes")) << -1
                                 << "Options: the AutoClearOnSend flag \"yes\" is not a number";
        QTest::newRow("not a state") << QVariant(QStringLiteral("5")) << -1
                                     << "Options: the AutoClearOnSend flag 5 is not a check box "
                                        "state (0 clear, 1 ticked, 2 greyed)";
        QTest::newRow("beyond 16 bits")
            << QVariant(QStringLiteral("70000")) << -1
            << "Options: the AutoClearOnSend flag 70000 is out of range (-32768 to 32767)";
    }
    void theFlagSetsTheCheckBox() {
        QFETCH(QVariant, flag);
        QFETCH(int, state);
        QFETCH(QString, error);
        env.writeSettingsFile("[Outputs]\nOutput1=stored\n");
        mapPorts();
        auto w = started();
        w->btClear_Click();
        w->terminal().setAutoClearOnSend(flag);
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        if (state >= 0) {
            QCOMPARE(w->txtLog->toPlainText(), QString());
            QCOMPARE(int(dlg.CheckAutoClear->checkState()), state);
            QCOMPARE(dlg.TextOut1[0]->text(), QStringLiteral("stored"));
            return;
        }
        // The first failing step stops the fill: everything after it stays empty.
        QCOMPARE(w->txtLog->toPlainText(), QStringLiteral("Err: ") + error + u'\n');
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Unchecked);
        QCOMPARE(dlg.TextOut1[0]->text(), QString());
        QCOMPARE(dlg.ComboPort->count(), 0);
        QCOMPARE(dlg.ComboBaudRate->currentIndex(), -1);
        QCOMPARE(dlg.ComboFlow->currentIndex(), -1);
    }

    void afterAFailedFillApplyingKeepsTheOutputsItNeverShowed() {
        env.writeSettingsFile("[Outputs]\nOutput1=stored\nOutput2=also stored\n");
        mapPorts();
        auto w = started();
        w->terminal().setAutoClearOnSend(QStringLiteral("letters"));
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QCOMPARE(dlg.TextOut1[0]->text(), QString());
        // Only the box the user edited is stored; the others keep their text.
        dlg.TextOut1[1]->setText(QStringLiteral("typed"));
        dlg.cmdOK->click();
        checkWarning(QStringLiteral("no port selected"));
        QCOMPARE(output(1), QStringLiteral("stored"));
        QCOMPARE(output(2), QStringLiteral("typed"));
        QCOMPARE(output(3), QStringLiteral("absent"));
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 0);
        QCOMPARE(w->MSComm().CommPort(), 1);
        QVERIFY(!w->MSComm().PortOpen());
    }

    void aMissingSelectionFailsWhereItIsHandedOn_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("settings");
        QTest::newRow("data bits") << "ComboDataBits"
                                   << "no data bits selected"
                                   << "9600,n,8,1";
        QTest::newRow("stop bits") << "ComboStopBits"
                                   << "no stop bits selected"
                                   << "9600,n,8,1";
        QTest::newRow("flow") << "ComboFlow"
                              << "no flow control selected"
                              << "19200,o,7,1";
    }
    void aMissingSelectionFailsWhereItIsHandedOn() {
        QFETCH(QString, list);
        QFETCH(QString, description);
        QFETCH(QString, settings);
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        select(dlg.ComboPort, "COM2");
        select(dlg.ComboBaudRate, "19200");
        select(dlg.ComboParity, "Odd");
        select(dlg.ComboDataBits, "7");
        select(dlg.ComboFlow, "Hardware (RTS/CTS)");
        dlg.findChild<QComboBox*>(list)->setCurrentIndex(-1);
        dlg.cmdApply->click();
        checkWarning(description);
        SerialPort& comm = w->MSComm();
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
        auto w = started();
        QCOMPARE(status(*w), statusBefore);
        const int port = w->MSComm().CommPort();

        boxes.start(yes ? QMessageBox::Yes : QMessageBox::No);
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QCOMPARE(dlg.ComboPort->count(), present ? 2 : 0);
        QCOMPARE(dlg.ComboPort->currentIndex(), -1);
        dlg.CheckAutoClear->click();
        dlg.TextOut1[2]->setText(QStringLiteral("third"));
        dlg.cmdOK->click();

        checkWarning(QStringLiteral("no port selected"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        // The flag and the outputs went before the failure; the port is closed.
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 0);
        for (int n = 1; n <= 8; ++n)
            QCOMPARE(output(n), n == 3 ? QStringLiteral("third") : QString());
        QVERIFY(!w->MSComm().PortOpen());
        QCOMPARE(w->MSComm().CommPort(), port);
        if (yes) {
            QCOMPARE(stored("COM", "Port"), QString::number(port));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("9600,n,8,1"));
            QCOMPARE(stored("COM", "HandShaking"), QStringLiteral("0"));
            QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("0"));
            QCOMPARE(status(*w), Disconnected);
        } else {
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("absent"));
            QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("absent"));
            QCOMPARE(status(*w), statusBefore);
        }
    }

    void aPortHeldByAnotherProgramFailsAtOpening_data() {
        QTest::addColumn<int>("yes");
        QTest::newRow("Yes") << 1;
        QTest::newRow("No") << 0;
    }
    void aPortHeldByAnotherProgramFailsAtOpening() {
        QFETCH(int, yes);
        auto w = started();
        SerialPort holder(storedPortEntries());
        holder.setCommPort(2);
        holder.setPortOpen(true);

        boxes.start(yes ? QMessageBox::Yes : QMessageBox::No);
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        select(dlg.ComboPort, "COM2");
        select(dlg.ComboBaudRate, "19200");
        select(dlg.ComboParity, "Even");
        select(dlg.ComboDataBits, "7");
        select(dlg.ComboStopBits, "2");
        select(dlg.ComboFlow, "Software (XON/XOFF)");
        dlg.cmdOK->click();

        checkWarning(QStringLiteral("cannot open COM2 (") + com2->path() +
                     QStringLiteral("): the device is in use by another program"));
        SerialPort& comm = w->MSComm();
        QCOMPARE(comm.CommPort(), 2);
        QCOMPARE(comm.Settings(), QStringLiteral("19200,e,7,2"));
        QCOMPARE(comm.Handshaking(), 1);
        QVERIFY(!comm.PortOpen());
        QVERIFY(holder.PortOpen());
        if (yes) {
            QCOMPARE(stored("COM", "Port"), QStringLiteral("2"));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("19200,e,7,2"));
            QCOMPARE(stored("COM", "HandShaking"), QStringLiteral("1"));
            QCOMPARE(status(*w), Disconnected);
        } else {
            QCOMPARE(stored("COM", "Port"), QStringLiteral("absent"));
            QCOMPARE(stored("COM", "Settings"), QStringLiteral("absent"));
            QCOMPARE(status(*w), QStringLiteral("Connected to COM1:9600,n,8,1"));
        }
    }

    void anUnlistedLiveValueFailsBeforeTheSettingsChange_data() {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("description");
        QTest::newRow("baud") << "250000,n,8,1"
                              << "no baud rate selected";
        QTest::newRow("upper-case parity") << "9600,N,8,1"
                                           << "no parity selected";
    }
    void anUnlistedLiveValueFailsBeforeTheSettingsChange() {
        QFETCH(QString, settings);
        QFETCH(QString, description);
        env.writeSettingsFile("[COM]\nSettings=" + settings.toLatin1() + "\nHandShaking=2\n");
        mapPorts();
        auto w = started();
        QVERIFY(w->MSComm().PortOpen());
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        select(dlg.ComboPort, "COM2");
        select(dlg.ComboFlow, "None");
        dlg.cmdOK->click();
        checkWarning(description);
        SerialPort& comm = w->MSComm();
        QCOMPARE(comm.CommPort(), 2);
        QCOMPARE(comm.Settings(), settings);
        QCOMPARE(comm.Handshaking(), 2);
        QVERIFY(!comm.PortOpen());
    }

    void applyReconfiguresTheLivePortAndStaysOpen() {
        env.writeSettingsFile("[COM]\nHandShaking=2\n");
        mapPorts();
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QCOMPARE(dlg.ComboFlow->currentText(), QStringLiteral("Hardware (RTS/CTS)"));
        select(dlg.ComboPort, "COM2");
        select(dlg.ComboBaudRate, "115200");
        select(dlg.ComboParity, "Mark");
        select(dlg.ComboDataBits, "5");
        select(dlg.ComboStopBits, "1.5");
        select(dlg.ComboFlow, "Hard and Soft");
        dlg.TextOut1[7]->setText(QStringLiteral("ATH0x0Dh"));
        dlg.cmdApply->click();

        QCOMPARE(boxes.seen.size(), 0);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.ComboPort->currentText(), QStringLiteral("COM2"));
        QCOMPARE(dlg.ComboFlow->currentIndex(), 3);
        QCOMPARE(status(*w), QStringLiteral("Connected to COM2:115200,m,5,1.5"));
        SerialPort& comm = w->MSComm();
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
        FormOptions again(w.get(), w->terminal());
        again.load();
        QCOMPARE(again.ComboPort->currentText(), QStringLiteral("COM2"));
        QCOMPARE(again.ComboParity->currentText(), QStringLiteral("Mark"));
        QCOMPARE(again.ComboStopBits->currentText(), QStringLiteral("1.5"));
        QCOMPARE(again.ComboFlow->currentText(), QStringLiteral("Hard and Soft"));
        QCOMPARE(again.TextOut1[7]->text(), QStringLiteral("ATH0x0Dh"));
    }

    void aLongStoredOutputSurvivesOk() {
        const QString text = QString(100000, u'x') + QStringLiteral("0x0Dh");
        env.writeSettingsFile("[Outputs]\nOutput1=" + text.toLatin1() + "\n");
        mapPorts();
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.cmdOK->click();
        QCOMPARE(output(1).size(), text.size());
        QCOMPARE(output(1), text);
    }

    void theCheckBoxSetsTheFlagAtOnce() {
        auto w = started();
        w->terminal().setAutoClearOnSend(QStringLiteral("2"));
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::PartiallyChecked);
        dlg.CheckAutoClear->click(); // greyed -> ticked, then an ordinary box
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Checked);
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 1);
        dlg.CheckAutoClear->click();
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Unchecked);
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 0);
        dlg.CheckAutoClear->click();
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 1);
    }

    void closingWithoutApplyKeepsOnlyTheFlag_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("Cancel") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("title bar") << 2;
        QTest::newRow("Alt+C") << 3;
    }
    void closingWithoutApplyKeepsOnlyTheFlag() {
        QFETCH(int, how);
        env.writeSettingsFile("[General]\nAutoClearOnSend=0\n[Outputs]\nOutput1=kept\n");
        mapPorts();
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.CheckAutoClear->click();
        dlg.TextOut1[0]->setText(QStringLiteral("edited"));
        select(dlg.ComboPort, "COM2");
        switch (how) {
        case 0:
            dlg.cmdCancel->click();
            break;
        case 1:
            QTest::keyClick(dlg.TextOut1[0], Qt::Key_Escape);
            break;
        case 2:
            dlg.close();
            break;
        default:
            QTest::keyClick(&dlg, Qt::Key_C, Qt::AltModifier);
        }
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(output(1), QStringLiteral("kept"));
        QCOMPARE(w->MSComm().CommPort(), 1);
        QVERIFY(w->MSComm().PortOpen());
        QCOMPARE(boxes.seen.size(), 0);
        // The flag stays on and reaches the store at the next save.
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 1);
        QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("0"));
        w->btExit_Click();
        QCOMPARE(stored("General", "AutoClearOnSend"), QStringLiteral("1"));
    }

    void theOptionsButtonOpensAFreshModalDialog() {
        auto w = started();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        struct Opening {
            bool found = false;
            bool modal = false;
            bool focusOnCheckBox = false;
            QStringList ports;
            QString firstOutput;
            QPoint pos;
        };
        QList<Opening> openings;
        auto inspect = [&] {
            auto* dlg = qobject_cast<FormOptions*>(QApplication::activeModalWidget());
            Opening o;
            if (dlg) {
                const bool active =
                    QTest::qWaitFor([dlg] { return QApplication::activeWindow() == dlg; }, 3000);
                o = {true,
                     dlg->isModal() && dlg->parentWidget() == w.get(),
                     active && QApplication::focusWidget() == dlg->CheckAutoClear,
                     items(dlg->ComboPort),
                     dlg->TextOut1[0]->text(),
                     dlg->pos()};
                dlg->TextOut1[0]->setText(QStringLiteral("typed"));
                dlg->cmdCancel->click();
            }
            openings.append(o);
        };
        for (int i = 0; i < 2; ++i) {
            QTimer::singleShot(0, this, inspect);
            w->btOptions->click(); // returns when the dialog has closed
        }
        QCOMPARE(openings.size(), 2);
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        for (const Opening& o : openings) {
            QVERIFY(o.found);
            QVERIFY(o.modal);
            QVERIFY(o.focusOnCheckBox);
            QCOMPARE(o.ports, (QStringList{"COM1", "COM2"}));
            QCOMPARE(o.firstOutput, QString()); // what was typed before Cancel is gone
            QCOMPARE(o.pos, QPoint((screen.width() - 377) / 2, (screen.height() - 262) / 2));
        }
        QVERIFY(!qobject_cast<FormOptions*>(QApplication::activeModalWidget()));
        QCOMPARE(w->findChildren<FormOptions*>().size(), 0);
    }

    void theDialogIsLaidOutAsDesigned() {
        FormMain w;
        FormOptions dlg(&w, w.terminal());
        QCOMPARE(dlg.objectName(), QStringLiteral("formOptions"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Options"));
        QCOMPARE(dlg.size(), QSize(377, 262));
        QCOMPARE(dlg.minimumSize(), dlg.maximumSize());
        const Qt::WindowFlags flags = dlg.windowFlags();
        QCOMPARE(dlg.windowType(), Qt::Dialog); // owned and transient: no taskbar entry
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(dlg.font(), w.font());

        struct Expect {
            const char* name;
            const char* parent;
            QRect rect;
            QString text;
        };
        const QList<Expect> controls = {
            {"fraDataField", "formOptions", {5, 5, 201, 46}, "Data Field"},
            {"CheckAutoClear", "fraDataField", {15, 20, 176, 16}, "Auto clear data field on send"},
            {"fraCOMSettings", "formOptions", {5, 56, 202, 170}, "COM Port"},
            {"Label1", "fraCOMSettings", {10, 20, 61, 16}, "Port:"},
            {"ComboPort", "fraCOMSettings", {75, 15, 116, 21}, ""},
            {"Label2", "fraCOMSettings", {10, 45, 61, 16}, "Baud Rate:"},
            {"ComboBaudRate", "fraCOMSettings", {75, 40, 116, 21}, ""},
            {"Label3", "fraCOMSettings", {10, 70, 61, 16}, "Data Bits:"},
            {"ComboDataBits", "fraCOMSettings", {75, 65, 116, 21}, ""},
            {"Label4", "fraCOMSettings", {10, 95, 61, 16}, "Stop Bits:"},
            {"ComboStopBits", "fraCOMSettings", {75, 90, 116, 21}, ""},
            {"Label5", "fraCOMSettings", {10, 120, 61, 16}, "Parity:"},
            {"ComboParity", "fraCOMSettings", {75, 115, 116, 21}, ""},
            {"Label6", "fraCOMSettings", {10, 145, 61, 16}, "Flow Control:"},
            {"ComboFlow", "fraCOMSettings", {75, 140, 116, 21}, ""},
            {"fraOutputs", "formOptions", {215, 5, 156, 221}, "Predefined Outputs"},
            {"Label7", "fraOutputs", {10, 20, 31, 16}, "Out1:"},
            {"TextOut10", "fraOutputs", {40, 15, 106, 21}, ""},
            {"Label10", "fraOutputs", {10, 95, 31, 16}, "Out4:"},
            {"TextOut13", "fraOutputs", {40, 90, 106, 21}, ""},
            {"Label14", "fraOutputs", {10, 195, 31, 16}, "Out8:"},
            {"TextOut17", "fraOutputs", {40, 190, 106, 21}, ""},
            {"cmdOK", "formOptions", {136, 235, 73, 21}, "&OK"},
            {"cmdCancel", "formOptions", {218, 235, 73, 21}, "&Cancel"},
            {"cmdApply", "formOptions", {298, 235, 73, 21}, "&Apply"},
        };
        for (const Expect& e : controls) {
            auto* c = dlg.findChild<QWidget*>(QLatin1String(e.name));
            QVERIFY2(c, e.name);
            QCOMPARE(c->parentWidget()->objectName(), QString::fromLatin1(e.parent));
            QCOMPARE(c->geometry(), e.rect);
            if (auto* b = qobject_cast<QAbstractButton*>(c))
                QCOMPARE(b->text(), e.text);
            if (auto* l = qobject_cast<QLabel*>(c))
                QCOMPARE(l->text(), e.text);
            if (auto* g = qobject_cast<QGroupBox*>(c)) {
                QCOMPARE(g->title(), e.text);
                QCOMPARE(g->focusPolicy(), Qt::NoFocus);
            }
        }
        for (QLabel* l : {dlg.Label1, dlg.Label6})
            QVERIFY(l->alignment() & Qt::AlignRight);
        QVERIFY(!(dlg.Label7->alignment() & Qt::AlignRight));
        QCOMPARE(dlg.fraOutputs->toolTip(),
                 QStringLiteral("Pre-define data to send when buttons on main form are pressed. "
                                "Use 0xNNh to send control chars i.e. 0x08h for backspace"));

        QCOMPARE(items(dlg.ComboPort), QStringList());
        QCOMPARE(items(dlg.ComboBaudRate),
                 (QStringList{"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200",
                              "38400", "56000", "57600", "115200"}));
        QCOMPARE(items(dlg.ComboDataBits), (QStringList{"5", "6", "7", "8"}));
        QCOMPARE(items(dlg.ComboStopBits), (QStringList{"1", "1.5", "2"}));
        QCOMPARE(items(dlg.ComboParity), (QStringList{"None", "Odd", "Even", "Mark", "Space"}));
        QCOMPARE(items(dlg.ComboFlow), (QStringList{"None", "Software (XON/XOFF)",
                                                    "Hardware (RTS/CTS)", "Hard and Soft"}));
        for (QComboBox* c : dlg.findChildren<QComboBox*>()) {
            QVERIFY(!c->isEditable());
            QCOMPARE(c->currentIndex(), -1);
        }
        for (QLineEdit* e : dlg.TextOut1)
            QCOMPARE(e->text(), QString());
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Unchecked);
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            QVERIFY(!b->isDefault() && !b->autoDefault());
    }

    void everyCaptionFitsItsControl() {
        FormMain w;
        FormOptions dlg(&w, w.terminal());
        for (QLabel* l : dlg.findChildren<QLabel*>())
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <=
                         l->contentsRect().width(),
                     qPrintable(l->objectName()));
        QVERIFY(dlg.CheckAutoClear->sizeHint().width() <= dlg.CheckAutoClear->width());
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            QVERIFY2(QFontMetrics(b->font()).horizontalAdvance(b->text().remove(u'&')) <
                         b->width() - 8,
                     qPrintable(b->objectName()));
    }

    void focusStartsOnTheCheckBoxAndTabFollowsTheDesign() {
        FormMain w;
        FormOptions dlg(&w, w.terminal());
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QCOMPARE(QApplication::focusWidget(), dlg.CheckAutoClear);
        QList<QWidget*> order = {dlg.ComboPort,     dlg.ComboBaudRate, dlg.ComboDataBits,
                                 dlg.ComboStopBits, dlg.ComboParity,   dlg.ComboFlow};
        for (QLineEdit* e : dlg.TextOut1)
            order << e;
        order << dlg.cmdOK << dlg.cmdCancel << dlg.cmdApply << dlg.CheckAutoClear;
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // No default button appeared on showing either.
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            QVERIFY(!b->isDefault());
    }

    void escapeClosesFromEveryControlUnlessAListIsOpen() {
        auto w = started();
        const QStringList names = {"CheckAutoClear", "ComboPort", "ComboFlow", "TextOut10",
                                   "TextOut17",      "cmdOK",     "cmdApply"};
        for (const QString& name : names) {
            FormOptions dlg(w.get(), w->terminal());
            dlg.load();
            dlg.show();
            QVERIFY(QTest::qWaitForWindowActive(&dlg));
            auto* c = dlg.findChild<QWidget*>(name);
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Escape);
            QVERIFY2(!dlg.isVisible(), qPrintable(name));
            QCOMPARE(dlg.result(), int(QDialog::Rejected));
        }
        QCOMPARE(output(1), QStringLiteral("absent"));

        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.ComboBaudRate->setFocus();
        dlg.ComboBaudRate->showPopup();
        QTRY_VERIFY(QApplication::activePopupWidget());
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_VERIFY(!QApplication::activePopupWidget());
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.ComboBaudRate->currentIndex(), 6);
        QTest::keyClick(dlg.ComboBaudRate, Qt::Key_Escape);
        QVERIFY(!dlg.isVisible());
    }

    void enterPressesOnlyAFocusedButton() {
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.TextOut1[0]->setText(QStringLiteral("x"));
        // On the other controls Enter does nothing: there is no default button.
        const QList<QWidget*> others = {dlg.CheckAutoClear, dlg.ComboPort, dlg.ComboFlow,
                                        dlg.TextOut1[0], dlg.TextOut1[7]};
        for (QWidget* c : others) {
            c->setFocus();
            QTest::keyClick(c, Qt::Key_Return);
            QTest::keyClick(c, Qt::Key_Enter, Qt::KeypadModifier);
            QVERIFY(dlg.isVisible());
        }
        QCOMPARE(output(1), QStringLiteral("absent"));
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Checked);

        dlg.cmdApply->setFocus();
        QTest::keyClick(dlg.cmdApply, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        QCOMPARE(output(1), QStringLiteral("x"));

        dlg.TextOut1[0]->setText(QStringLiteral("y"));
        dlg.cmdCancel->setFocus();
        QTest::keyClick(dlg.cmdCancel, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(output(1), QStringLiteral("x"));

        FormOptions second(w.get(), w->terminal());
        second.load();
        second.show();
        QVERIFY(QTest::qWaitForWindowActive(&second));
        second.TextOut1[0]->setText(QStringLiteral("z"));
        second.cmdOK->setFocus();
        QTest::keyClick(second.cmdOK, Qt::Key_Return);
        QVERIFY(!second.isVisible());
        QCOMPARE(second.result(), int(QDialog::Accepted));
        QCOMPARE(output(1), QStringLiteral("z"));
        QCOMPARE(boxes.seen.size(), 0);
    }

    void accessKeysPressTheButtons() {
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        dlg.TextOut1[1]->setText(QStringLiteral("applied"));
        QTest::keyClick(&dlg, Qt::Key_A, Qt::AltModifier);
        QTRY_COMPARE(output(2), QStringLiteral("applied"));
        QVERIFY(dlg.isVisible());
        dlg.TextOut1[1]->setText(QStringLiteral("by OK"));
        QTest::keyClick(&dlg, Qt::Key_O, Qt::AltModifier);
        QTRY_VERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(output(2), QStringLiteral("by OK"));
    }
};

QTEST_MAIN(TestFormOptions)
#include "test_formoptions.moc"
