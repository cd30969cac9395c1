// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/pagecatcher.h"
#include "ui/formsplash.h"
#include "ui/linkarea.h"
#include "ui/weblinks.h"

#include <QApplication>
#include <QDesktopServices>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QtTest>

class TestFormSplash : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init() { m_pages.opened.clear(); }
    void cleanupTestCase();

    void isABorderlessFixedBox();
    void linkAreasLieOverTheirLines();
    void opensCentredOnTheScreenEachTime();
    void linkClickOpensThePageAndKeepsTheBoxOpen_data();
    void linkClickOpensThePageAndKeepsTheBoxOpen();
    void clickElsewhereClosesTheBox_data();
    void clickElsewhereClosesTheBox();
    void keys_data();
    void keys();
    void modalOpeningAnswersClicksAndKeys();

private:
    // Shows a new box over a parent and waits until it can take input.
    static void showBox(FormSplash& box);
    PageCatcher m_pages;
};

void TestFormSplash::initTestCase() {
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_pages, "open");
}

void TestFormSplash::cleanupTestCase() {
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
}

void TestFormSplash::showBox(FormSplash& box) {
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QVERIFY(box.windowHandle());
}

void TestFormSplash::isABorderlessFixedBox() {
    QWidget owner;
    FormSplash box(&owner);
    QCOMPARE(box.objectName(), QStringLiteral("formSplash"));
    QCOMPARE(box.size(), QSize(291, 186));
    QCOMPARE(box.minimumSize(), QSize(291, 186));
    QCOMPARE(box.maximumSize(), QSize(291, 186));
    QVERIFY(box.isWindow());
    QCOMPARE(box.windowType(), Qt::Dialog);
    QVERIFY(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    // An owned dialog stays out of the taskbar.
    QCOMPARE(box.parentWidget(), &owner);

    // Nothing on the box takes the focus, so the box gets every key.
    const auto children = box.findChildren<QWidget*>();
    QVERIFY(!children.isEmpty());
    for (const QWidget* child : children)
        QCOMPARE(child->focusPolicy(), Qt::NoFocus);
}

void TestFormSplash::linkAreasLieOverTheirLines() {
    FormSplash box;
    auto* maker = box.findChild<LinkArea*>(QStringLiteral("imgAboutZanthe"));
    auto* author = box.findChild<LinkArea*>(QStringLiteral("imgAboutAuthor"));
    QVERIFY(maker);
    QVERIFY(author);
    QCOMPARE(maker, box.imgAboutZanthe);
    QCOMPARE(author, box.imgAboutAuthor);

    QCOMPARE(maker->geometry(), QRect(5, 135, 281, 16));
    QCOMPARE(author->geometry(), QRect(5, 160, 281, 21));
    QCOMPARE(author->geometry().top() - maker->geometry().bottom() - 1, 9);

    QCOMPARE(author->toolTip(), QStringLiteral("Visit author's website"));
    QVERIFY(maker->toolTip().contains(makerUrl().host()));
    QVERIFY(maker->toolTip().startsWith(QStringLiteral("Visit")));
    QCOMPARE(maker->cursor().shape(), Qt::WhatsThisCursor);
    QCOMPARE(author->cursor().shape(), Qt::WhatsThisCursor);
}

void TestFormSplash::opensCentredOnTheScreenEachTime() {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint centred =
        screen.topLeft() + QPoint((screen.width() - 291) / 2, (screen.height() - 186) / 2);
    // The owner sits in a corner: the box is centred on the screen, not on it.
    QWidget owner;
    owner.setGeometry(screen.left() + 10, screen.top() + 10, 200, 120);
    owner.show();
    for (int opening = 0; opening < 2; ++opening) {
        FormSplash box(&owner);
        showBox(box);
        QCOMPARE(box.geometry(), QRect(centred, QSize(291, 186)));
        QCOMPARE(box.frameGeometry().topLeft(), centred);
        QTest::keyClick(box.windowHandle(), Qt::Key_Space);
        QVERIFY(!box.isVisible());
    }
}

void TestFormSplash::linkClickOpensThePageAndKeepsTheBoxOpen_data() {
    QTest::addColumn<QPoint>("where");
    QTest::addColumn<QUrl>("page");
    QTest::newRow("maker line, left end") << QPoint(5, 135) << makerUrl();
    QTest::newRow("maker line, middle") << QPoint(145, 143) << makerUrl();
    QTest::newRow("maker line, right end") << QPoint(285, 150) << makerUrl();
    QTest::newRow("credit line") << QPoint(5, 160) << authorUrl();
    QTest::newRow("author address") << QPoint(150, 175) << authorUrl();
    QTest::newRow("author area, bottom right") << QPoint(285, 180) << authorUrl();
}

void TestFormSplash::linkClickOpensThePageAndKeepsTheBoxOpen() {
    QFETCH(QPoint, where);
    QFETCH(QUrl, page);
    FormSplash box;
    showBox(box);
    // Clicks go through the window, which hands them to whatever lies there.
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, where);
    QCOMPARE(m_pages.opened, QList<QUrl>{page});
    QVERIFY(box.isVisible());
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, where);
    QCOMPARE(m_pages.opened, (QList<QUrl>{page, page}));
    QVERIFY(box.isVisible());
    QCOMPARE(page.scheme(), QStringLiteral("https"));
    QVERIFY(page.host().endsWith(QStringLiteral("example.com")));
}

void TestFormSplash::clickElsewhereClosesTheBox_data() {
    QTest::addColumn<QPoint>("where");
    QTest::newRow("top left corner") << QPoint(0, 0);
    QTest::newRow("banner") << QPoint(200, 20);
    QTest::newRow("paragraph") << QPoint(145, 90);
    QTest::newRow("just above the maker line") << QPoint(145, 134);
    QTest::newRow("left of the maker line") << QPoint(4, 140);
    QTest::newRow("right of the maker line") << QPoint(286, 140);
    QTest::newRow("gap between the links") << QPoint(145, 155);
    QTest::newRow("below the author lines") << QPoint(145, 181);
    QTest::newRow("bottom right corner") << QPoint(290, 185);
}

void TestFormSplash::clickElsewhereClosesTheBox() {
    QFETCH(QPoint, where);
    FormSplash box;
    showBox(box);
    QTest::mouseClick(box.windowHandle(), Qt::LeftButton, {}, where);
    QVERIFY(!box.isVisible());
    QCOMPARE(box.result(), int(QDialog::Accepted));
    QVERIFY(m_pages.opened.isEmpty());
}

void TestFormSplash::keys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("closes");
    // The texts are those the platform sends with each key.
    QTest::newRow("letter") << int(Qt::Key_Q) << "q" << 0 << true;
    QTest::newRow("capital letter") << int(Qt::Key_B) << "B" << int(Qt::ShiftModifier) << true;
    QTest::newRow("digit") << int(Qt::Key_7) << "7" << 0 << true;
    QTest::newRow("punctuation") << int(Qt::Key_Comma) << "," << 0 << true;
    QTest::newRow("shifted punctuation")
        << int(Qt::Key_Exclam) << "!" << int(Qt::ShiftModifier) << true;
    QTest::newRow("accented letter")
        << int(Qt::Key_Eacute) << QStringLiteral("\u00e9") << 0 << true;
    QTest::newRow("space") << int(Qt::Key_Space) << " " << 0 << true;
    QTest::newRow("enter") << int(Qt::Key_Return) << "\r" << 0 << true;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << "\r" << int(Qt::KeypadModifier) << true;
    QTest::newRow("escape") << int(Qt::Key_Escape) << "\x1b" << 0 << true;
    QTest::newRow("backspace") << int(Qt::Key_Backspace) << "\b" << 0 << true;
    QTest::newRow("tab") << int(Qt::Key_Tab) << "\t" << 0 << true;

    QTest::newRow("left arrow") << int(Qt::Key_Left) << "" << 0 << false;
    QTest::newRow("right arrow") << int(Qt::Key_Right) << "" << 0 << false;
    QTest::newRow("up arrow") << int(Qt::Key_Up) << "" << 0 << false;
    QTest::newRow("down arrow") << int(Qt::Key_Down) << "" << 0 << false;
    QTest::newRow("F1") << int(Qt::Key_F1) << "" << 0 << false;
    QTest::newRow("F10") << int(Qt::Key_F10) << "" << 0 << false;
    QTest::newRow("home") << int(Qt::Key_Home) << "" << 0 << false;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << "" << 0 << false;
    QTest::newRow("delete") << int(Qt::Key_Delete) << "" << 0 << false;
    QTest::newRow("delete sent as DEL") << int(Qt::Key_Delete) << "\x7f" << 0 << false;
    QTest::newRow("Alt with a letter") << int(Qt::Key_A) << "a" << int(Qt::AltModifier) << false;
    QTest::newRow("shift alone") << int(Qt::Key_Shift) << "" << int(Qt::ShiftModifier) << false;
    QTest::newRow("ctrl alone") << int(Qt::Key_Control) << "" << int(Qt::ControlModifier) << false;
    QTest::newRow("alt alone") << int(Qt::Key_Alt) << "" << int(Qt::AltModifier) << false;
}

void TestFormSplash::keys() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, modifiers);
    QFETCH(bool, closes);
    FormSplash box;
    showBox(box);
    // Sent to the window: the box, holding no focusable control, gets the key.
    QTest::sendKeyEvent(QTest::Press, box.windowHandle(), Qt::Key(key), text,
                        Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box.isVisible(), !closes);
    if (box.isVisible())
        QTest::sendKeyEvent(QTest::Release, box.windowHandle(), Qt::Key(key), text,
                            Qt::KeyboardModifiers(modifiers));
    QCOMPARE(box.isVisible(), !closes);
    QVERIFY(m_pages.opened.isEmpty());
}

void TestFormSplash::modalOpeningAnswersClicksAndKeys() {
    // The way the main window opens the box: modal, owned, built for the opening.
    QWidget owner;
    owner.resize(424, 400);
    owner.show();
    QVERIFY(QTest::qWaitForWindowExposed(&owner));

    QPointer<QWidget> seen;
    bool stayedOpen = false;
    QTimer::singleShot(0, this, [&] {
        seen = QApplication::activeModalWidget();
        if (!seen || !seen->windowHandle())
            return;
        QTest::mouseClick(seen->windowHandle(), Qt::LeftButton, {}, QPoint(100, 170));
        stayedOpen = seen && seen->isVisible();
        QTest::keyClick(seen->windowHandle(), Qt::Key_X);
    });
    // Whatever goes wrong above, the box must not stay open for ever.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] {
        if (auto* w = QApplication::activeModalWidget())
            w->close();
    });
    guard.start(10000);

    FormSplash box(&owner);
    box.exec();
    QVERIFY(guard.isActive());
    QCOMPARE(seen.data(), &box);
    QVERIFY(stayedOpen);
    QCOMPARE(m_pages.opened, QList<QUrl>{authorUrl()});
    QVERIFY(!box.isVisible());
}

QTEST_MAIN(TestFormSplash)
#include "test_formsplash.moc"
