// SPDX-License-Identifier: GPL-3.0-or-later
// The Options dialog's window: what it shows of the session's fill, the
// warning box of a failed apply, the layout and the keyboard. COM1 and COM2
// are pseudo-terminals, COM3 and COM4 are mapped to nothing, so the machine's
// own devices never show up.
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/optionchoices.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/designstyle.h"
#include "ui/formmain.h"
#include "ui/formoptions.h"
#include "ui/statuspanel.h"
#include "ui/textfit.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyleOption>
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

    void afterAFailedFillApplyingKeepsTheOutputsItNeverShowed_data() {
        QTest::addColumn<int>("yes");
        QTest::newRow("No") << 0;
        QTest::newRow("Yes") << 1;
    }
    void afterAFailedFillApplyingKeepsTheOutputsItNeverShowed() {
        QFETCH(int, yes);
        env.writeSettingsFile("[Outputs]\nOutput1=stored\nOutput2=also stored\n");
        mapPorts();
        auto w = started();
        w->terminal().setAutoClearOnSend(QStringLiteral("letters"));
        boxes.start(yes ? QMessageBox::Yes : QMessageBox::No);
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QCOMPARE(dlg.TextOut1[0]->text(), QString());
        // Only the box the user edited is stored; the others keep their text.
        dlg.TextOut1[1]->setText(QStringLiteral("typed"));
        dlg.cmdOK->click();
        checkWarning(QStringLiteral("no port selected"));
        // OK closes the dialog whatever the outcome.
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(output(1), QStringLiteral("stored"));
        QCOMPARE(output(2), QStringLiteral("typed"));
        QCOMPARE(output(3), QStringLiteral("absent"));
        QCOMPARE(intFlag(w->terminal().AutoClearOnSend()), 0);
        QCOMPARE(w->MSComm().CommPort(), 1);
        QVERIFY(!w->MSComm().PortOpen());
        // Yes saves the rest anyway and refreshes the status line; No leaves both.
        QCOMPARE(stored("COM", "Port"), yes ? QStringLiteral("1") : QStringLiteral("absent"));
        QCOMPARE(status(*w), yes ? Disconnected : QStringLiteral("Connected to COM1:9600,n,8,1"));
    }
    // Apply leaves the dialog open with its selections, the main window's
    // status line showing the new connection.
    void applyKeepsTheDialogAsItWas() {
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.show();
        QCOMPARE(dlg.ComboPort->itemData(0, Qt::ToolTipRole).toString(), com1->path());
        QCOMPARE(dlg.ComboPort->itemData(1, Qt::ToolTipRole).toString(), com2->path());
        select(dlg.ComboPort, "COM2");
        select(dlg.ComboFlow, "Hard and Soft");
        dlg.cmdApply->click();
        QCOMPARE(boxes.seen.size(), 0);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.ComboPort->currentText(), QStringLiteral("COM2"));
        QCOMPARE(dlg.ComboFlow->currentIndex(), 3);
        QCOMPARE(status(*w), QStringLiteral("Connected to COM2:9600,n,8,1"));
        QCOMPARE(w->MSComm().openDevice(), com2->path());
    }

    // The baud list keeps its entries; a rate typed into it, or stored
    // outside it, is shown in its field and applied like an entry.
    void aTypedBaudRateIsStoredAndShown_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("typed");   // into the emptied field, or nothing
        QTest::addColumn<QString>("shown");   // the field as the dialog opened
        QTest::addColumn<QString>("outcome"); // the stored settings, or the warning's reason
        QTest::newRow("typed") << QByteArray() << "74880"
                               << "9600"
                               << "74880,n,8,1";
        QTest::newRow("stored outside the list")
            << QByteArray("[COM]\nSettings=250000,e,7,1\n") << ""
            << "250000"
            << "250000,e,7,1";
        QTest::newRow("letters are not taken")
            << QByteArray() << "12ab"
            << "9600"
            << "the baud rate \"12\" is not a whole number from 50 to 4,000,000";
    }
    void aTypedBaudRateIsStoredAndShown() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, outcome);
        env.writeSettingsFile(ini);
        mapPorts();
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QCOMPARE(dlg.ComboBaudRate->currentText(), shown);
        if (!typed.isEmpty()) {
            dlg.ComboBaudRate->lineEdit()->clear();
            QTest::keyClicks(dlg.ComboBaudRate->lineEdit(), typed);
        }
        dlg.cmdOK->click();
        if (outcome.startsWith(QStringLiteral("the baud rate"))) {
            checkWarning(outcome);
            QVERIFY(!w->MSComm().PortOpen());
            return;
        }
        QCOMPARE(boxes.seen.size(), 0);
        QCOMPARE(stored("COM", "Settings"), outcome);
        QCOMPARE(status(*w), QStringLiteral("Connected to COM1:") + outcome);
        FormOptions again(w.get(), w->terminal());
        again.load();
        QCOMPARE(again.ComboBaudRate->currentText(), outcome.section(u',', 0, 0));
        QCOMPARE(items(again.ComboBaudRate), OptionChoices::BaudRates);
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
            QCOMPARE(c->isEditable(), c == dlg.ComboBaudRate); // a rate may be typed there
            QCOMPARE(c->currentIndex(), -1);
            QCOMPARE(c->currentText(), QString());
        }
        for (QLineEdit* e : dlg.TextOut1)
            QCOMPARE(e->text(), QString());
        QCOMPARE(dlg.CheckAutoClear->checkState(), Qt::Unchecked);
        for (QPushButton* b : dlg.findChildren<QPushButton*>())
            QVERIFY(!b->isDefault() && !b->autoDefault());
    }

    // Both windows in the window's font: every caption fits where its control
    // draws it, at the window's size (narrower letters at most), every list
    // entry fits the closed list and its popup, and a control inside a frame
    // stands within the frame's lines, below its caption.
    void captionsFramesAndListsFit_data() {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("main window") << false;
        QTest::newRow("Options dialog") << true;
    }
    void captionsFramesAndListsFit() {
        QFETCH(bool, dialog);
        mapPorts();
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QWidget* window = dialog ? static_cast<QWidget*>(&dlg) : w.get();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const int size = QFontInfo(window->font()).pixelSize();
        QCOMPARE(size, 11);

        auto fits = [&](QWidget* c, const QString& text, const QRect& room) {
            const QString what = c->objectName() + u' ' + text;
            QVERIFY2(QFontInfo(c->font()).pixelSize() == size, qPrintable(what));
            // The style sets a caption that is too wide narrower as it draws it.
            QVERIFY2(qobject_cast<DesignStyle*>(c->style()), qPrintable(what));
            const qreal narrowing = narrowingToFit(c->font(), text, room.width());
            const qreal wide = QFontMetricsF(c->font()).size(Qt::TextShowMnemonic, text).width();
            QVERIFY2(wide * narrowing <= room.width(), qPrintable(what));
        };
        int captions = 0;
        for (QWidget* c : window->findChildren<QWidget*>()) {
            if (c->window() != window)
                continue;
            QStyle* style = c->style();
            QStyleOptionButton button;
            button.initFrom(c);
            if (auto* box = qobject_cast<QCheckBox*>(c)) {
                button.text = box->text();
                fits(c, box->text(),
                     style->subElementRect(QStyle::SE_CheckBoxContents, &button, c));
            } else if (auto* b = qobject_cast<QPushButton*>(c)) {
                button.text = b->text();
                fits(c, b->text(),
                     style->subElementRect(QStyle::SE_PushButtonContents, &button, c));
            } else if (auto* l = qobject_cast<QLabel*>(c); l && l->pixmap().isNull()) {
                if (!l->text().isEmpty())
                    fits(c, l->text(), l->contentsRect());
            } else if (auto* g = qobject_cast<QGroupBox*>(c)) {
                QStyleOptionGroupBox frame;
                frame.initFrom(g);
                frame.text = g->title();
                frame.textAlignment = g->alignment();
                frame.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
                frame.lineWidth = 1;
                const QRect caption =
                    style->subControlRect(QStyle::CC_GroupBox, &frame, QStyle::SC_GroupBoxLabel, g);
                const QRect inside =
                    style->subControlRect(QStyle::CC_GroupBox, &frame, QStyle::SC_GroupBoxFrame, g)
                        .adjusted(1, 1, -1, -1);
                fits(c, g->title(), caption);
                for (QWidget* inner : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    QVERIFY2(inside.contains(inner->geometry()) &&
                                 inner->geometry().top() > caption.bottom(),
                             qPrintable(inner->objectName()));
            } else if (auto* list = qobject_cast<QComboBox*>(c)) {
                QStyleOptionComboBox closed;
                closed.initFrom(list);
                closed.subControls = QStyle::SC_All;
                const QRect field = style->subControlRect(QStyle::CC_ComboBox, &closed,
                                                          QStyle::SC_ComboBoxEditField, list);
                int longest = 0;
                for (const QString& entry : items(list)) {
                    fits(c, entry, field.adjusted(1, 0, -1, 0));
                    longest = std::max(longest, list->fontMetrics().horizontalAdvance(entry));
                }
                // The popup is as wide as the style says a list must be to show it whole.
                const int whole = style
                                      ->sizeFromContents(QStyle::CT_ComboBox, &closed,
                                                         QSize(longest, list->height()), list)
                                      .width();
                list->showPopup();
                QVERIFY(list->view()->isVisible());
                QVERIFY2(list->view()->window()->width() >= whole, qPrintable(list->objectName()));
                list->hidePopup();
            } else {
                continue;
            }
            ++captions;
        }
        QCOMPARE(captions, dialog ? 27 : 23);
    }

    // Drawn in bands, a tall scroll bar has the very pixels of one drawn whole.
    void aScrollBarDrawnInBandsIsDrawnWhole_data() {
        QTest::addColumn<qreal>("dpr");
        QTest::newRow("1") << 1.0;
        QTest::newRow("2") << 2.0;
    }
    void aScrollBarDrawnInBandsIsDrawnWhole() {
        QFETCH(qreal, dpr);
        DesignStyle style;
        QStyleOptionSlider bar;
        bar.rect = QRect(0, 0, 16, 301);
        bar.orientation = Qt::Vertical;
        bar.maximum = 100;
        bar.pageStep = 10;
        bar.sliderPosition = bar.sliderValue = 37;
        bar.subControls = QStyle::SC_All;
        bar.state = QStyle::State_Enabled;
        bar.palette = QApplication::palette();
        auto drawn = [&](const QStyle* by) {
            QImage image((QSizeF(bar.rect.size()) * dpr).toSize(), QImage::Format_ARGB32);
            image.setDevicePixelRatio(dpr);
            image.fill(Qt::magenta);
            QPainter painter(&image);
            by->drawComplexControl(QStyle::CC_ScrollBar, &bar, &painter, nullptr);
            return image;
        };
        QCOMPARE(drawn(&style), drawn(style.baseStyle()));
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
