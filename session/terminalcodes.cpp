// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/terminalcodes.h"

namespace {

constexpr char16_t Esc = 0x1B;
constexpr char16_t Bel = 0x07;
// Longer than any real sequence: past these, what follows an ESC is text.
constexpr qsizetype LongestSequence = 64;
constexpr qsizetype LongestString = 4096;

bool in(char16_t c, char16_t low, char16_t high) {
    return c >= low && c <= high;
}

enum class Scan { Complete, Cut, NotASequence };

// From text[j]: intermediates, then one final character from finalLow to 0x7E, ending the
// sequence whose ESC is at text[i].
Scan scanFinal(QStringView text, qsizetype i, qsizetype j, char16_t finalLow, qsizetype* length) {
    const qsizetype n = text.size();
    while (j < n && in(text[j].unicode(), 0x20, 0x2F))
        ++j;
    if (j - i > LongestSequence)
        return Scan::NotASequence;
    if (j >= n)
        return Scan::Cut;
    if (!in(text[j].unicode(), finalLow, 0x7E))
        return Scan::NotASequence;
    *length = j + 1 - i;
    return Scan::Complete;
}

// The length of the sequence starting with the ESC at text[i].
Scan scanSequence(QStringView text, qsizetype i, qsizetype* length) {
    const qsizetype n = text.size();
    if (i + 1 >= n)
        return Scan::Cut;
    const char16_t kind = text[i + 1].unicode();
    qsizetype j = i + 2;
    if (kind == u'[') {
        while (j < n && in(text[j].unicode(), 0x30, 0x3F))
            ++j;
        return scanFinal(text, i, j, 0x40, length);
    }
    if (kind == u']' || kind == u'P' || kind == u'X' || kind == u'^' || kind == u'_') {
        // A string: ends with ST (ESC \), or BEL as terminals accept for OSC.
        for (; j < n && j - i <= LongestString; ++j) {
            const char16_t c = text[j].unicode();
            if (c == Bel) {
                *length = j + 1 - i;
                return Scan::Complete;
            }
            if (c == Esc) {
                if (j + 1 >= n)
                    return Scan::Cut;
                if (text[j + 1] != u'\\')
                    return Scan::NotASequence;
                *length = j + 2 - i;
                return Scan::Complete;
            }
        }
        return j - i > LongestString ? Scan::NotASequence : Scan::Cut;
    }
    // ESC, intermediates, one final character.
    return scanFinal(text, i, i + 1, 0x30, length);
}

} // namespace

QString stripTerminalCodes(QStringView text, QString* heldBack) {
    QString out;
    qsizetype copied = 0;
    qsizetype from = 0;
    for (;;) {
        const qsizetype i = text.indexOf(QChar(Esc), from);
        if (i < 0)
            break;
        qsizetype length = 0;
        const Scan scan = scanSequence(text, i, &length);
        if (scan == Scan::NotASequence) {
            from = i + 1;
            continue;
        }
        if (out.isEmpty())
            out.reserve(text.size());
        out += text.sliced(copied, i - copied);
        if (scan == Scan::Cut) {
            if (heldBack) {
                *heldBack = text.sliced(i).toString();
                return out;
            }
            copied = i;
            break;
        }
        copied = i + length;
        from = copied;
    }
    if (copied == 0)
        return text.toString();
    out += text.sliced(copied);
    return out;
}
