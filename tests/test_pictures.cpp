// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/aboutface.h"
#include "ui/pictures/appicon.h"
#include "ui/pictures/banner.h"

#include <QImage>
#include <QPixmap>
#include <QtTest>

namespace {

// Rows of the image, in logical pixels, that hold any colour but the
// background's, looking only at the columns from left to right (exclusive).
QList<int> inkedRows(const QImage& image, qreal dpr, int fromRow, int toRow, int left, int right) {
    const QRgb background = image.pixel(qRound(3 * dpr), image.height() - qRound(3 * dpr));
    QList<int> rows;
    for (int row = fromRow; row < toRow; ++row) {
        bool inked = false;
        for (int y = qRound(row * dpr); y < qRound((row + 1) * dpr) && !inked; ++y)
            for (int x = qRound(left * dpr); x < qRound(right * dpr) && !inked; ++x)
                inked = image.pixel(x, y) != background;
        if (inked)
            rows.append(row);
    }
    return rows;
}

} // namespace

class TestPictures : public QObject {
    Q_OBJECT

private slots:
    void sizes_data();
    void sizes();
    void theBuiltInBannerIsTheOneThatWouldBePainted_data();
    void theBuiltInBannerIsTheOneThatWouldBePainted();
    void faceTextLiesWhereTheLinksAre_data();
    void faceTextLiesWhereTheLinksAre();
    void bannerLogoKeepsClearOfTheCutOffEdge();
    void iconComesInEverySize();
};

void TestPictures::sizes_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1") << 1.0;
    QTest::newRow("1.5") << 1.5;
    QTest::newRow("2") << 2.0;
    QTest::newRow("3") << 3.0;
}

void TestPictures::sizes() {
    QFETCH(qreal, dpr);
    const QPixmap banner = bannerPixmap(dpr);
    QCOMPARE(banner.devicePixelRatio(), dpr);
    QCOMPARE(banner.size(), (QSizeF(426, 51) * dpr).toSize());
    QCOMPARE(banner.deviceIndependentSize().toSize(), QSize(426, 51));

    const QPixmap face = aboutFacePixmap(dpr);
    QCOMPARE(face.devicePixelRatio(), dpr);
    QCOMPARE(face.size(), (QSizeF(291, 186) * dpr).toSize());
    QCOMPARE(face.deviceIndependentSize().toSize(), QSize(291, 186));
}

void TestPictures::theBuiltInBannerIsTheOneThatWouldBePainted_data() {
    QTest::addColumn<qreal>("dpr");
    QTest::newRow("1") << 1.0;
    QTest::newRow("2") << 2.0;
}

void TestPictures::theBuiltInBannerIsTheOneThatWouldBePainted() {
    QFETCH(qreal, dpr);
    const QImage built = prepaintedBanner(dpr);
    QVERIFY(!built.isNull());
    QCOMPARE(built.devicePixelRatio(), dpr);
    const QImage painted = paintedBannerPixmap(dpr).toImage();
    QCOMPARE(built.convertToFormat(QImage::Format_ARGB32),
             painted.convertToFormat(QImage::Format_ARGB32));
}

void TestPictures::faceTextLiesWhereTheLinksAre_data() {
    sizes_data();
}

void TestPictures::faceTextLiesWhereTheLinksAre() {
    QFETCH(qreal, dpr);
    const QImage face = aboutFacePixmap(dpr).toImage();
    // Columns 1 to 289: the frame round the face is not text.
    const auto rows = [&](int from, int to) { return inkedRows(face, dpr, from, to, 1, 290); };

    // The maker line, with clear face above and below it.
    QVERIFY(!rows(135, 151).isEmpty());
    QCOMPARE(rows(131, 135), QList<int>{});
    // Between the link areas only the thin rule.
    const QList<int> gap = rows(151, 160);
    QVERIFY2(gap.size() == 1 || (gap.size() == 2 && gap[1] == gap[0] + 1),
             qPrintable(QStringLiteral("%1 inked rows").arg(gap.size())));
    // Two lines in the author area, and nothing under it.
    QVERIFY(!rows(160, 170).isEmpty());
    QVERIFY(!rows(171, 181).isEmpty());
    QCOMPARE(rows(181, 184), QList<int>{});
    // No text reaches into the margins beside the link areas.
    QCOMPARE(inkedRows(face, dpr, 36, 184, 1, 4), QList<int>{});
    QCOMPARE(inkedRows(face, dpr, 36, 184, 287, 290), QList<int>{});
}

void TestPictures::bannerLogoKeepsClearOfTheCutOffEdge() {
    // The main window shows all but the banner's last two columns: the logo's
    // ink must stop short of them, and the logo must lie right of column 255.
    const QImage banner = bannerPixmap(2.0).toImage();
    const QRgb panel = banner.pixel(2 * 424, 2 * 2);
    int inkRight = -1;
    for (int y = 0; y < banner.height(); ++y)
        for (int x = 2 * 259; x < banner.width(); ++x)
            if (banner.pixel(x, y) != panel)
                inkRight = qMax(inkRight, x);
    QVERIFY(inkRight >= 0);
    QVERIFY2(inkRight < 2 * 420, qPrintable(QString::number(inkRight)));
    for (int y = 0; y < banner.height(); ++y)
        QCOMPARE(banner.pixel(2 * 424, y), panel);
}

void TestPictures::iconComesInEverySize() {
    const QList<int> expected{16, 32, 48, 64, 128, 256};
    QCOMPARE(programIconSizes(), expected);
    const QIcon icon = programIcon();
    QList<QSize> sizes;
    for (int n : expected)
        sizes.append(QSize(n, n));
    QCOMPARE(icon.availableSizes(), sizes);

    for (int n : expected) {
        const QImage image = programIconImage(n);
        QCOMPARE(image.size(), QSize(n, n));
        QVERIFY(image.hasAlphaChannel());
        // A solid symbol in the middle, transparent corners round it.
        QCOMPARE(qAlpha(image.pixel(n / 2, n / 2)), 255);
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(n - 1, n - 1)), 0);
        QCOMPARE(icon.pixmap(QSize(n, n)).size(), QSize(n, n));
    }
}

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
