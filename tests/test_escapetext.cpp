// SPDX-License-Identifier: GPL-3.0-or-later
// Texts to send shown with escapes, as the output buttons describe them.
#include "transmit/escapes.h"
#include "transmit/escapetext.h"

#include <QTest>

class TestEscapeText : public QObject {
    Q_OBJECT

private slots:
    void bytesThatAreNotPrintableBecomeEscapes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("printable ASCII stays") << "ATZ ~!0x0Dh"
                                               << "ATZ ~!0x0Dh";
        QTest::newRow("CR LF") << "ATZ\r\n"
                               << "ATZ0x0Dh0x0Ah";
        QTest::newRow("NUL, tab, escape")
            << QString(QChar(0)) + u'\t' + QChar(0x1B) << "0x00h0x09h0x1Bh";
        QTest::newRow("DEL and the upper half")
            << QString(QChar(0x7F)) + QChar(0x80) + QChar(0xE9) + QChar(0xFF)
            << "0x7Fh0x80h0xE9h0xFFh";
        QTest::newRow("beyond one byte: its UTF-8 bytes")
            << QStringLiteral("\u20AC") << "0xE2h0x82h0xACh";
    }
    void bytesThatAreNotPrintableBecomeEscapes() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(showEscapes(text), shown);
        // What is shown decodes back to the bytes of the text.
        if (text.size() == 1 && text[0].unicode() > 0xFF)
            return;
        QCOMPARE(decodeEscapes(shown), decodeEscapes(text));
    }
};

QTEST_APPLESS_MAIN(TestEscapeText)
#include "test_escapetext.moc"
