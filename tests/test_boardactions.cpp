// SPDX-License-Identifier: GPL-3.0-or-later
// The board's actions in the main window, and what the command line sets for
// one run, against a pseudo-terminal mapped as COM1.
#include "serial/comportmap.h"
#include "serial/serialport.h"
#include "session/terminal.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptywindowfixture.h"
#include "ui/boardactions.h"
#include "ui/formoptions.h"
#include "ui/logcontrols.h"
#include "ui/statuspanel.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

QString stored(const QString& key) {
    return SettingsStore::GetSetting(QStringLiteral("Brovik"), QStringLiteral("COM"), key,
                                     QStringLiteral("absent"));
}

} // namespace

class TestBoardActions : public PtyWindowFixture {
    Q_OBJECT

private slots:
    void init() { PtyWindowFixture::init(); }
    void cleanup() {
        PtyWindowFixture::cleanup();
        ComPortMap::forgetRunMappings();
    }

    // Reached from the log's context menu (by the menu key too) and by
    // shortcut anywhere in the window; assistive technology reads each entry.
    void theLogMenuOffersEachActionByNameAndShortcut() {
        start();
        BoardActions board(*w);
        board.addTo(w->logControls().actions());
        QStringList names, keys;
        QTimer::singleShot(0, this, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(menu);
            for (int i = 0; i < a->childCount(); ++i)
                names << a->child(i)->text(QAccessible::Name);
            for (QAction* action : menu->actions())
                keys << action->shortcut().toString();
            menu->close();
        });
        w->show();
        QContextMenuEvent press(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                w->txtLog->viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w->txtLog->viewport(), &press);
        QVERIFY(!names.filter(QStringLiteral("Copy")).isEmpty()); // the text box's own entries stay
        const qsizetype at = names.indexOf(QStringLiteral("Reset Board"));
        QCOMPARE(names.mid(at, 3), (QStringList{"Reset Board", "Send Break", "Release Port"}));
        QCOMPARE(keys.mid(at, 3), (QStringList{"Ctrl+R", "Ctrl+B", "Ctrl+Shift+R"}));
        for (QAction* action : {board.resetAction, board.breakAction, board.releaseAction}) {
            QVERIFY(w->actions().contains(action));
            QVERIFY(!action->toolTip().isEmpty());
        }
    }

    // A pseudo-terminal has no modem lines: one clear line each, no false report.
    void onAPseudoTerminalResetAndBreakSayWhyNot() {
        start();
        BoardActions board(*w);
        board.resetAction->trigger();
        board.breakAction->trigger();
        const QString where = QStringLiteral("COM1 (%1)").arg(dev->path());
        QCOMPARE(logText().split(u'\n', Qt::SkipEmptyParts),
                 (QStringList{QStringLiteral("Err: Reset Board: %1 has no DTR or RTS line (a "
                                             "pseudo-terminal has none): the board was not reset")
                                  .arg(where),
                              QStringLiteral("Err: Send Break: %1 has no modem control lines (a "
                                             "pseudo-terminal has none): no break was sent")
                                  .arg(where)}));
        QVERIFY(w->MSComm().PortOpen());
    }

    // --port DEVICE --settings 74880,n,8,1 --handshaking rtscts: the window
    // uses them, Exit leaves the stored values alone, an Options apply stores.
    void commandLineValuesHoldForThisRunOnly() {
        env.writeSettingsFile("[COM]\nSettings=9600,n,8,1\n");
        env.mapPort(1, dev->path());
        PtyDevice other;
        PortOverrides overrides;
        overrides.device = other.path();
        overrides.settings = QStringLiteral("74880,n,8,1");
        overrides.handshaking = 2;
        w = std::make_unique<FormMain>();
        w->terminal().setRunOverrides(overrides);
        w->load();
        const int n = storedPortMap().numberOf(other.path());
        QVERIFY(n > 1);
        QCOMPARE(w->MSComm().openDevice(), other.path());
        QCOMPARE(w->statusConnection->text(),
                 QStringLiteral("Connected to COM%1:74880,n,8,1").arg(n));
        w->btExit_Click();
        QCOMPARE(stored(QStringLiteral("Port")), QStringLiteral("absent"));
        QCOMPARE(stored(QStringLiteral("Settings")), QStringLiteral("9600,n,8,1"));
        QCOMPARE(stored(QStringLiteral("HandShaking")), QStringLiteral("absent"));

        w = std::make_unique<FormMain>();
        w->terminal().setRunOverrides(overrides);
        w->load();
        FormOptions dlg(w.get(), w->terminal());
        dlg.load();
        dlg.cmdOK->click();
        QCOMPARE(stored(QStringLiteral("Port")), QString::number(n));
        QCOMPARE(stored(QStringLiteral("Settings")), QStringLiteral("74880,n,8,1"));
        QCOMPARE(stored(QStringLiteral("HandShaking")), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestBoardActions)
#include "test_boardactions.moc"
