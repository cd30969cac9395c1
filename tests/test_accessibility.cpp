// SPDX-License-Identifier: GPL-3.0-or-later
// What assistive technology reads and does in the three windows, through Qt's
// accessibility interfaces (the AT-SPI bus is checked by accessibility_under_xvfb.sh).
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/settingsstore.h"
#include "support/pagecatcher.h"
#include "support/ptydevice.h"
#include "support/testenv.h"
#include "ui/formmain.h"
#include "ui/formoptions.h"
#include "ui/formsplash.h"
#include "ui/linkarea.h"
#include "ui/pictures/aboutface.h"
#include "ui/statuspanel.h"
#include "ui/weblinks.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>

namespace {

QAccessibleInterface* accessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (!iface)
        qFatal("no accessible interface for %s", qPrintable(object->objectName()));
    return iface;
}

QString readText(QObject* object, QAccessible::Text t) {
    return accessible(object)->text(t);
}

void doAction(QObject* object, const QString& action) {
    QAccessibleActionInterface* actions = accessible(object)->actionInterface();
    QVERIFY(actions);
    QVERIFY2(actions->actionNames().contains(action), qPrintable(action));
    actions->doAction(action);
}

void storeOutput(int n, const QString& text) {
    SettingsStore::SaveSetting(QStringLiteral("Brovik"), QStringLiteral("Outputs"),
                               QStringLiteral("Output%1").arg(n), text);
}

} // namespace

class TestAccessibility : public QObject {
    Q_OBJECT
    TestEnv env;
    std::unique_ptr<PtyDevice> dev;
    PageCatcher pages;

    std::unique_ptr<FormMain> started() {
        env.mapPort(1, dev->path());
        auto w = std::make_unique<FormMain>();
        w->load();
        return w;
    }

private slots:
    void initTestCase() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &pages, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    void init() {
        env.clear();
        pages.opened.clear();
        dev = std::make_unique<PtyDevice>();
    }
    void cleanup() { dev.reset(); }

    void mainWindowControlsAreNamed_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        const QString dataTip =
            QStringLiteral("Use 0xNNh to send control chars i.e. 0x08h for backspace");
        QTest::newRow("data") << "txtDataSend" << int(QAccessible::EditableText) << "Data"
                              << dataTip;
        QTest::newRow("file") << "txtFileSend" << int(QAccessible::EditableText) << "File"
                              << "";
        QTest::newRow("log") << "txtLog" << int(QAccessible::EditableText) << "Activity log"
                             << "";
        QTest::newRow("banner link") << "imgHeaderZanthe" << int(QAccessible::Link)
                                     << makerName() + " web site" << makerToolTip();
        QTest::newRow("CR") << "CheckCR" << int(QAccessible::CheckBox) << "CR"
                            << "";
        for (const char* rule : {"Line1", "Line2", "Line3", "Line4", "Line5"})
            QTest::newRow(rule) << rule << int(QAccessible::Separator) << ""
                                << "";
    }
    void mainWindowControlsAreNamed() {
        QFETCH(QString, control);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QString, description);
        FormMain w;
        auto* widget = w.findChild<QWidget*>(control);
        QVERIFY(widget);
        QCOMPARE(int(accessible(widget)->role()), role);
        QCOMPARE(readText(widget, QAccessible::Name), name);
        QCOMPARE(readText(widget, QAccessible::Description), description);
    }

    // Each status panel is read as it shows and its details are its
    // description (that each change is announced is checked on the AT-SPI bus:
    // the offscreen platform has no accessibility bridge to announce to).
    void theStatusPanelsAreReadAsShown() {
        auto w = started();
        QCOMPARE(readText(w->statusConnection, QAccessible::Name),
                 QStringLiteral("Connected to COM1:9600,n,8,1"));
        QCOMPARE(readText(w->statusConnection, QAccessible::Description),
                 QStringLiteral("COM1 is ") + dev->path());
        w->MSComm().setPortOpen(false);
        w->updateCommStatus();
        QCOMPARE(readText(w->statusConnection, QAccessible::Name),
                 QStringLiteral("Disconnected. Please select your COM port from options."));
        QVERIFY(!w->statusClock->text().isEmpty());
        QCOMPARE(readText(w->statusClock, QAccessible::Name), w->statusClock->text());
    }

    void outputButtonsTellWhatTheySend_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("description");
        QTest::newRow("escapes as written") << "ATZ0x0Dh"
                                            << "Sends: ATZ0x0Dh";
        QTest::newRow("control and upper bytes")
            << QStringLiteral("a\tb\u00e9") << "Sends: a0x09hb0xE9h";
        QTest::newRow("markup shown as typed") << "<b>hi</b>"
                                               << "Sends: <b>hi</b>";
        QTest::newRow("long: its beginning")
            << QString(70, u'x') << "Sends: " + QString(60, u'x') + "...";
        QTest::newRow("empty") << ""
                               << "Sends nothing: set Out3 in Options";
    }
    void outputButtonsTellWhatTheySend() {
        QFETCH(QString, stored);
        QFETCH(QString, description);
        storeOutput(3, stored);
        FormMain w;
        QPushButton* button = w.outputCmd[2];
        QCOMPARE(readText(button, QAccessible::Name), QStringLiteral("Out3"));
        QCOMPARE(readText(button, QAccessible::Description), description);
        QCOMPARE(QTextDocumentFragment::fromHtml(button->toolTip()).toPlainText(), description);
        QCOMPARE(readText(w.outputCmd[3], QAccessible::Description),
                 QStringLiteral("Sends nothing: set Out4 in Options"));
    }

    void theDescriptionsFollowTheOptions() {
        storeOutput(1, QStringLiteral("old"));
        auto w = started();
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QTimer::singleShot(0, [] {
            auto* dlg = qobject_cast<FormOptions*>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            dlg->TextOut1[0]->setText(QStringLiteral("new0x0Dh"));
            dlg->TextOut1[1]->setText(QStringLiteral("two"));
            dlg->cmdOK->click();
        });
        w->btOptions->click();
        QCOMPARE(readText(w->outputCmd[0], QAccessible::Description),
                 QStringLiteral("Sends: new0x0Dh"));
        QCOMPARE(w->outputCmd[1]->toolTip(), QStringLiteral("Sends: two"));
    }

    void optionsListsAndBoxesAreNamedByTheirLabels() {
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        const QList<QPair<QLabel*, QWidget*>> rows = {
            {dlg.Label1, dlg.ComboPort},     {dlg.Label2, dlg.ComboBaudRate},
            {dlg.Label3, dlg.ComboDataBits}, {dlg.Label4, dlg.ComboStopBits},
            {dlg.Label5, dlg.ComboParity},   {dlg.Label6, dlg.ComboFlow},
            {dlg.Label7, dlg.TextOut1[0]},   {dlg.Label8, dlg.TextOut1[1]},
            {dlg.Label9, dlg.TextOut1[2]},   {dlg.Label10, dlg.TextOut1[3]},
            {dlg.Label11, dlg.TextOut1[4]},  {dlg.Label12, dlg.TextOut1[5]},
            {dlg.Label13, dlg.TextOut1[6]},  {dlg.Label14, dlg.TextOut1[7]}};
        for (const auto& [label, control] : rows) {
            // Qt names a list by its current entry on Linux; readers take the
            // label from the relation.
            if (qobject_cast<QLineEdit*>(control))
                QCOMPARE(readText(control, QAccessible::Name), label->text());
            // The frame around it labels it too, as Qt does for group boxes.
            QList<QObject*> labels;
            for (const auto& relation : accessible(control)->relations(QAccessible::Label))
                labels << relation.first->object();
            QVERIFY2(labels.contains(label), qPrintable(label->text()));
        }
    }

    void aboutBoxTellsItsTextAndItsLinksOpenThePages() {
        FormSplash box;
        QCOMPARE(readText(&box, QAccessible::Name), QStringLiteral("About Brovik"));
        const QString description = readText(&box, QAccessible::Description);
        for (const QString& part : {aboutVersionText(), aboutPurposeText(), aboutDonationText(),
                                    aboutVisitText(), aboutCreditText(), aboutAuthorAddress()})
            QVERIFY2(description.contains(part), qPrintable(part));

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QList<QPair<LinkArea*, QString>> links = {{box.imgAboutZanthe, aboutVisitText()},
                                                        {box.imgAboutAuthor, aboutAuthorAddress()}};
        for (const auto& [area, name] : links) {
            QCOMPARE(accessible(area)->role(), QAccessible::Link);
            QCOMPARE(readText(area, QAccessible::Name), name);
            QVERIFY(!accessible(area)->state().focusable);
            doAction(area, QAccessibleActionInterface::pressAction());
            QCOMPARE(area->focusPolicy(), Qt::NoFocus);
        }
        QCOMPARE(pages.opened, (QList<QUrl>{makerUrl(), authorUrl()}));
        QVERIFY(box.isVisible());
        QVERIFY(!box.focusWidget());

        FormMain w;
        doAction(w.imgHeaderZanthe, QAccessibleActionInterface::pressAction());
        QCOMPARE(pages.opened.last(), makerUrl());
    }

    // The Toggle action does what a click does: the dialog's box sets the
    // flag, a greyed box becomes two-state; the dialog's fill sets neither.
    void theToggleActionHasTheEffectOfAClick_data() {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("after");
        QTest::newRow("auto clear on") << "CheckAutoClear"
                                       << "1" << int(Qt::Unchecked);
        QTest::newRow("auto clear off") << "CheckAutoClear"
                                        << "0" << int(Qt::Checked);
        QTest::newRow("auto clear greyed") << "CheckAutoClear"
                                           << "2" << int(Qt::Checked);
        QTest::newRow("CR greyed") << "CheckCR"
                                   << "2" << int(Qt::Checked);
        QTest::newRow("LF ticked") << "CheckLF"
                                   << "1" << int(Qt::Unchecked);
    }
    void theToggleActionHasTheEffectOfAClick() {
        QFETCH(QString, box);
        QFETCH(QString, stored);
        QFETCH(int, after);
        env.writeSettingsFile(
            QStringLiteral("[General]\nAutoClearOnSend=%1\nSendCR=%1\nSendLF=%1\n")
                .arg(stored)
                .toUtf8());
        auto w = started();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        QCOMPARE(w->terminal().AutoClearOnSend(),
                 QVariant(stored)); // the fill leaves the stored text
        auto* check = box == u"CheckAutoClear" ? dlg.CheckAutoClear : w->findChild<QCheckBox*>(box);
        QVERIFY(check);

        doAction(check, QAccessibleActionInterface::toggleAction());
        QCOMPARE(int(check->checkState()), after);
        QVERIFY(!check->isTristate());
        if (check == dlg.CheckAutoClear)
            QCOMPARE(w->terminal().AutoClearOnSend(), QVariant(after == Qt::Checked ? 1 : 0));
        else
            QCOMPARE(w->terminal().AutoClearOnSend(), QVariant(stored));
        QCOMPARE(accessible(check)->state().checked, after == Qt::Checked);
    }
};

QTEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
