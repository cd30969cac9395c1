// SPDX-License-Identifier: GPL-3.0-or-later
// What a newcomer does first: Brovik against the virtual device, typing
// ATZ0x0Dh and pressing Enter, sees the device's OK in the log.
#include "serial/serialport.h"
#include "support/testenv.h"
#include "ui/formmain.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>

class TestNewcomer : public QObject {
    Q_OBJECT
    TestEnv env;

private slots:
    void typingATZShowsOK() {
        QProcess device;
        device.start(QStringLiteral(VIRTUAL_DEVICE_PATH), {});
        QVERIFY(device.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(device.canReadLine(), 5000);
        const QString path = QString::fromLocal8Bit(device.readLine()).trimmed();
        env.mapPort(1, path);

        FormMain w;
        w.load();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY2(w.MSComm().PortOpen(), qPrintable(w.txtLog->toPlainText()));
        QTest::keyClicks(w.txtDataSend, QStringLiteral("ATZ0x0Dh"));
        QTest::keyClick(w.txtDataSend, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(
            w.txtLog->toPlainText().endsWith(QStringLiteral(">> ATZ\n\n<< OK\n\n")), 3000);
        QCOMPARE(w.txtDataSend->text(), QString());

        device.terminate();
        QVERIFY(device.waitForFinished(5000));
    }
};

QTEST_MAIN(TestNewcomer)
#include "test_newcomer.moc"
