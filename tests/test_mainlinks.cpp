// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's banner link and its About button.
#include "support/pagecatcher.h"
#include "support/testenv.h"
#include "ui/formmain.h"
#include "ui/formsplash.h"
#include "ui/weblinks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPushButton>
#include <QTest>
#include <QTimer>

class TestMainLinks : public QObject {
    Q_OBJECT
    TestEnv env;
    PageCatcher pages;

private slots:
    void initTestCase() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &pages, "open");
    }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    void theBannerHotspotOpensTheMakersPage() {
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.imgHeaderZanthe->geometry(), QRect(255, 0, 170, 51));
        QCOMPARE(w.imgHeaderZanthe->parentWidget(), w.PictureHead);
        QCOMPARE(w.imgHeaderZanthe->cursor().shape(), Qt::WhatsThisCursor);
        QCOMPARE(w.imgHeaderZanthe->toolTip(), makerToolTip());

        // Left of the hotspot the banner does nothing.
        for (int x : {5, 120, 254})
            QTest::mouseClick(w.PictureHead, Qt::LeftButton, {}, QPoint(x, 25));
        QCOMPARE(pages.opened, QList<QUrl>());

        QTest::mouseClick(w.imgHeaderZanthe, Qt::LeftButton, {}, QPoint(1, 1));
        QTest::mouseClick(w.imgHeaderZanthe, Qt::LeftButton, {}, QPoint(168, 49));
        QCOMPARE(pages.opened, (QList<QUrl>{makerUrl(), makerUrl()}));
        QVERIFY(w.isVisible());
    }

    void theAboutButtonOpensAFreshModalBoxEachTime() {
        FormMain w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int round = 0; round < 2; ++round) {
            QPointer<QWidget> seen;
            bool modal = false;
            QTimer::singleShot(0, &w, [&] {
                seen = QApplication::activeModalWidget();
                modal = qobject_cast<FormSplash*>(seen.data()) && seen->isModal() &&
                        seen->parentWidget() == &w;
                if (seen)
                    QTest::keyClick(seen, Qt::Key_Space); // a character key closes it
            });
            w.btAbout->click();
            QVERIFY(modal);
            QVERIFY(seen.isNull()); // unloaded when it closed
        }
    }
};

QTEST_MAIN(TestMainLinks)
#include "test_mainlinks.moc"
