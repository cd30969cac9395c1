// SPDX-License-Identifier: GPL-3.0-or-later
#include "escapesreference.h"
#include "transmit/escapes.h"

#include <QTest>

#include <random>

namespace {

const QString CR(QChar(13));
const QString LF(QChar(10));
const QString NUL(QChar(0));

QString filler(qsizetype n) {
    return QString(n, u'.');
}

QString repeated(const QString& piece, int times) {
    QString text;
    text.reserve(piece.size() * times);
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

std::u16string toU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size()));
}

QString fromU16(const std::u16string& text) {
    return QString(reinterpret_cast<const QChar*>(text.data()), qsizetype(text.size()));
}

// Control characters and long runs made readable for failure messages.
QString visible(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        qsizetype run = 1;
        while (i + run < text.size() && text[i + run] == c)
            ++run;
        if (run > 8) {
            out += QStringLiteral("<%1 x U+%2>")
                       .arg(QString::number(run),
                            QString::number(c.unicode(), 16).rightJustified(4, u'0'));
            i += run - 1;
        } else if (c.unicode() < 0x20 || c.unicode() > 0x7E) {
            out += QStringLiteral("<%1>").arg(c.unicode(), 2, 16, QChar(u'0'));
        } else {
            out += c;
        }
    }
    return out;
}

// Random texts made of the pieces escapes are built from, so that accepted,
// rejected, nested and chained escapes all come up often.
class TextMaker {
public:
    explicit TextMaker(std::uint32_t seed) : m_random(seed) {}

    QString make(bool upperCaseToo, int maxPieces) {
        // Whole escapes for "0", "h" and "x" let decoded characters build new
        // escapes with their neighbours.
        static const QStringList lower = {
            u"0x"_qs, u"0x"_qs, u"0x"_qs, u"h"_qs, u"h"_qs,     u"0"_qs,     u"3"_qs,
            u"4"_qs,  u"1"_qs,  u"6"_qs,  u"7"_qs, u"8"_qs,     u"a"_qs,     u"d"_qs,
            u"D"_qs,  u"f"_qs,  u"Z"_qs,  u"x"_qs, u"g"_qs,     u" "_qs,     u"\t"_qs,
            u"\n"_qs, u"\r"_qs, NUL,      u"ÿ"_qs, u"0x30h"_qs, u"0x68h"_qs, u"0x78h"_qs};
        static const QStringList upper = {u"0X"_qs, u"H"_qs,     u"X"_qs,    u"0X"_qs,
                                          u"H"_qs,  u"0x48h"_qs, u"0x58h"_qs};
        const int pieces = int(m_random() % unsigned(maxPieces + 1));
        const int choices = int(lower.size() + (upperCaseToo ? upper.size() : 0));
        QString text;
        for (int i = 0; i < pieces; ++i) {
            const int pick = int(m_random() % unsigned(choices));
            text += pick < lower.size() ? lower[pick] : upper[pick - lower.size()];
        }
        return text;
    }

    int below(int n) { return int(m_random() % unsigned(n)); }

private:
    std::mt19937 m_random;
};

bool hasEscapeStart(const QString& text) {
    return text.contains(u"0x"_qs, Qt::CaseInsensitive);
}

// Checks one decoding against the plain statement of the rules and the
// invariants every decoding keeps.
void checkAgainstRules(const QString& input) {
    const QString actual = decodeEscapes(input);
    const QString expected = fromU16(referenceDecodeEscapes(toU16(input)));
    const QString where = u"input: "_qs + visible(input);
    QVERIFY2(actual.size() <= input.size(), qPrintable(where));
    if (!hasEscapeStart(input))
        QVERIFY2(actual == input, qPrintable(where));
    QVERIFY2(actual == expected, qPrintable(where + u"\nactual: "_qs + visible(actual) +
                                            u"\nexpected: "_qs + visible(expected)));
}

} // namespace

class TestEscapes : public QObject {
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void positionLimit_data();
    void positionLimit();
    void longTexts_data();
    void longTexts();
    void randomTextsFollowTheRules();
    void randomTextsAtTheLimitFollowTheRules();
};

void TestEscapes::decodes_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("no escape") << u"ATZ hex 0 x h"_qs << u"ATZ hex 0 x h"_qs;
    QTest::newRow("two digits") << u"A0x0DhB"_qs << u"A"_qs + CR + u"B"_qs;
    QTest::newRow("both copies in one step") << u"0x41h0x41h"_qs << u"AA"_qs;
    QTest::newRow("one digit") << u"0xah"_qs << LF;
    QTest::newRow("three characters") << u"0x123h"_qs << u"0x123h"_qs;
    QTest::newRow("no character") << u"0xh"_qs << u"0xh"_qs;
    QTest::newRow("no h") << u"0x41"_qs << u"0x41"_qs;
    QTest::newRow("no hex digit") << u"0xZZh"_qs << NUL;
    QTest::newRow("search does not go back") << u"0x0x41hh"_qs << u"0xAh"_qs;
    QTest::newRow("decoded character starts an escape") << u"0x30hx41h"_qs << u"A"_qs;
    QTest::newRow("line ends") << u"ATZ0x0Dh0x0Ah"_qs << u"ATZ"_qs + CR + LF;
    QTest::newRow("NUL stays in the text") << u"A0x00hB"_qs << u"A"_qs + NUL + u"B"_qs;
    QTest::newRow("decodes to h") << u"0x68h0x41h"_qs << u"hA"_qs;

    // Reading the digit characters.
    QTest::newRow("ff") << u"0xffh"_qs << QString(QChar(0xFF));
    QTest::newRow("80") << u"0x80h"_qs << QString(QChar(0x80));
    QTest::newRow("digit then letter") << u"0x4Zh"_qs << QString(QChar(4));
    QTest::newRow("letter then digit") << u"0xg1h"_qs << NUL;
    QTest::newRow("blank before") << u"0x 4h"_qs << QString(QChar(4));
    QTest::newRow("blank after") << u"0x4 h"_qs << QString(QChar(4));
    QTest::newRow("tab skipped") << u"0x\t1h"_qs << QString(QChar(1));
    QTest::newRow("line feed skipped") << u"0x\n1h"_qs << QString(QChar(1));
    QTest::newRow("carriage return ends") << u"0x\r1h"_qs << NUL;
    QTest::newRow("0x as digits") << u"0x0xh"_qs << NUL;

    // Digit letters in either case decode alike, each copy replaced as written.
    QTest::newRow("0d and 0D") << u"0x0dh0x0Dh0x0dh"_qs << CR + CR + CR;
    QTest::newRow("0D and 0d") << u"0x0Dh0x0dh"_qs << CR + CR;

    // Upper-case X and H are found and decoded like the lower-case form.
    QTest::newRow("0X41h") << u"0X41h"_qs << u"A"_qs;
    QTest::newRow("0x41H") << u"0x41H"_qs << u"A"_qs;
    QTest::newRow("0X41H") << u"0X41H"_qs << u"A"_qs;
    QTest::newRow("0x0dH") << u"0x0dH"_qs << CR;
    QTest::newRow("mixed copies") << u"0X41h0x41H0X41h0x41h"_qs << u"AAAA"_qs;
    QTest::newRow("upper-case search does not go back") << u"0X0X41hh"_qs << u"0XAh"_qs;
    QTest::newRow("upper-case three characters") << u"0X123H"_qs << u"0X123H"_qs;

    // Copies before the found escape are replaced too, and the search goes on
    // at the found position even though the text before it shrank.
    QTest::newRow("copy before the found escape") << u"0x0x34h1h0x41h"_qs << u"AA"_qs;
    QTest::newRow("search position after shrinking") << u"0x0x34h1h0x41h0x42h"_qs << u"AA0x42h"_qs;

    // Decoded characters complete escapes elsewhere in the text, which later
    // steps find or replace as copies.
    QTest::newRow("decoded h closes an earlier escape") << u"0x410x68h0x41h"_qs << u"AA"_qs;
    QTest::newRow("decoded x opens a later escape") << u"0x78hZ00x78h41h"_qs << u"xZA"_qs;
}

void TestEscapes::decodes() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString actual = decodeEscapes(input);
    QCOMPARE(actual, expected);
    QCOMPARE(actual, fromU16(referenceDecodeEscapes(toU16(input))));
}

void TestEscapes::positionLimit_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QString far = filler(40000);
    QTest::newRow("first escape beyond")
        << filler(32767) + u"0x41h0x42h"_qs << filler(32767) + u"0x41h0x42h"_qs;
    QTest::newRow("h at the last position")
        << filler(32762) + u"0x41h"_qs << filler(32762) + u"A"_qs;
    QTest::newRow("h just beyond") << filler(32763) + u"0x41h"_qs << filler(32763) + u"0x41h"_qs;
    QTest::newRow("h beyond ends a rejected escape too")
        << u"0x41"_qs + filler(32800) + u"h0x42h"_qs << u"0x41"_qs + filler(32800) + u"h0x42h"_qs;
    QTest::newRow("rejected at 32766")
        << filler(32765) + u"0x0x41"_qs << filler(32765) + u"0x0x41"_qs;
    QTest::newRow("rejected at 32767") << filler(32766) + u"0x1"_qs << filler(32766) + u"0x1"_qs;

    // Beyond the limit only copies of escapes found before it are replaced.
    QTest::newRow("same escape before")
        << u"0x41h"_qs + far + u"0x41h"_qs << u"A"_qs + far + u"A"_qs;
    QTest::newRow("other escape beyond")
        << u"0x41h"_qs + far + u"0x42h"_qs << u"A"_qs + far + u"0x42h"_qs;
    QTest::newRow("digit case beyond")
        << u"0x0dh"_qs + far + u"0x0Dh0x0dh"_qs << CR + far + u"0x0Dh"_qs + CR;
    QTest::newRow("X case beyond")
        << u"0x41h"_qs + far + u"0X41h"_qs << u"A"_qs + far + u"0X41h"_qs;

    // Replacements move later text below the limit, where it is decoded.
    QTest::newRow("moved inside") << repeated(u"0x41h"_qs, 7000) + u"0x42h"_qs
                                  << repeated(u"A"_qs, 7000) + u"B"_qs;
}

void TestEscapes::positionLimit() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString actual = decodeEscapes(input);
    QVERIFY2(actual == expected, qPrintable(visible(actual)));
    QCOMPARE(actual, fromU16(referenceDecodeEscapes(toU16(input))));
}

void TestEscapes::longTexts_data() {
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");

    const QString plain = repeated(u"The quick brown fox 0 x h jumps. "_qs, 32000);
    QTest::newRow("no escape") << plain << plain;
    const QString lateEscapes = filler(40000) + repeated(u"0x41h"_qs, 200000);
    QTest::newRow("escapes only beyond the limit") << lateEscapes << lateEscapes;
    const QString rejected = u"0xh"_qs + repeated(u"0x"_qs, 500000);
    QTest::newRow("many rejected") << rejected << rejected;
    QTest::newRow("line ends everywhere")
        << repeated(u"line0x0Dh0x0Ah"_qs, 80000) << repeated(u"line"_qs + CR + LF, 80000);
    // Every step decodes "0x30h" into a "0" that forms the next one.
    QTest::newRow("chain") << u"0x30h"_qs + repeated(u"x30h"_qs, 250000) << u"0"_qs;
    QTest::newRow("many different escapes")
        << repeated(u"0x41h0x42h0x61h0x0dh0x0Dh0X30H0x7H"_qs, 30000)
        << repeated(u"ABa"_qs + CR + CR + u"0"_qs + QChar(7), 30000);
}

void TestEscapes::longTexts() {
    QFETCH(QString, input);
    QFETCH(QString, expected);
    const QString actual = decodeEscapes(input);
    QVERIFY2(actual == expected, qPrintable(visible(actual.left(200))));
}

void TestEscapes::randomTextsFollowTheRules() {
    TextMaker maker(20240607);
    const int runs = 20000;
    for (int i = 0; i < runs; ++i) {
        // Every other text holds lower-case escapes only.
        checkAgainstRules(maker.make(i % 2 == 1, 14));
        if (QTest::currentTestFailed())
            return;
    }
}

void TestEscapes::randomTextsAtTheLimitFollowTheRules() {
    TextMaker maker(7);
    for (int i = 0; i < 300; ++i) {
        // Escapes in front shift the rest down when they are decoded.
        const QString head = maker.make(true, 4);
        const QString tail = maker.make(true, 16);
        checkAgainstRules(head + filler(32740 + maker.below(30)) + tail);
        if (QTest::currentTestFailed())
            return;
    }
}

QTEST_APPLESS_MAIN(TestEscapes)
#include "test_escapes.moc"
