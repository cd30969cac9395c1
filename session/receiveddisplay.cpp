// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/receiveddisplay.h"

#include "session/terminalcodes.h"

namespace {

constexpr char Digits[] = "0123456789ABCDEF";

bool shownAsItIs(char16_t c) {
    // Line breaks and tabs lay out the text; other controls would not show.
    return (c >= 0x20 && c != 0x7F) || c == u'\n' || c == u'\r' || c == u'\t';
}

// The first byte's sequence length and the range its second byte must be in
// (the well-formed sequences of the Unicode standard), or 0 when it starts none.
int sequenceLength(char16_t b, char16_t* low, char16_t* high) {
    *low = 0x80;
    *high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF)
        return 2;
    if (b >= 0xE0 && b <= 0xEF) {
        if (b == 0xE0)
            *low = 0xA0;
        else if (b == 0xED)
            *high = 0x9F; // no surrogates
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (b == 0xF0)
            *low = 0x90;
        else if (b == 0xF4)
            *high = 0x8F; // nothing above U+10FFFF
        return 4;
    }
    return 0;
}

// UTF-8 characters as themselves, every other byte as its escape. A valid
// start of a character cut off at the end goes to *held when it is given.
QString decodeUtf8(QStringView bytes, QString* held) {
    QString out;
    out.reserve(bytes.size());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    while (i < n) {
        const char16_t b = bytes[i].unicode();
        if (b < 0x80) {
            if (shownAsItIs(b))
                out += QChar(b);
            else
                appendByteEscape(out, static_cast<unsigned char>(b));
            ++i;
            continue;
        }
        char16_t low = 0, high = 0;
        const int length = sequenceLength(b, &low, &high);
        int k = 1;
        while (length > 0 && k < length && i + k < n) {
            const char16_t c = bytes[i + k].unicode();
            if (c < low || c > high)
                break;
            low = 0x80;
            high = 0xBF;
            ++k;
        }
        if (length > 0 && k == length) {
            char32_t code = b & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
            for (int j = 1; j < length; ++j)
                code = (code << 6) | (bytes[i + j].unicode() & 0x3F);
            const QChar pair[2] = {QChar::highSurrogate(code), QChar::lowSurrogate(code)};
            if (QChar::requiresSurrogates(code))
                out.append(pair, 2);
            else
                out += QChar(char16_t(code));
            i += length;
        } else if (length > 0 && i + k == n && held) {
            *held = bytes.sliced(i).toString();
            break;
        } else {
            appendByteEscape(out, static_cast<unsigned char>(b & 0xFF));
            ++i;
        }
    }
    return out;
}

QString hexRows(QStringView bytes, int indent, qsizetype lastRows) {
    constexpr int RowBytes = ReceivedDisplay::HexRowBytes;
    const qsizetype rows = (bytes.size() + RowBytes - 1) / RowBytes;
    qsizetype first = 0;
    if (lastRows > 0 && rows > lastRows)
        first = rows - lastRows;
    // Per row: the indent, "NN " per byte, two spaces, a character per byte, a break.
    const qsizetype rowWidth = indent + RowBytes * 3 + 1 + RowBytes + 1;
    QString out(rowWidth * (rows - first), Qt::Uninitialized);
    QChar* p = out.data();
    for (qsizetype r = first; r < rows; ++r) {
        if (r > first) {
            *p++ = u'\n';
            for (int s = 0; s < indent; ++s)
                *p++ = u' ';
        }
        const qsizetype start = r * RowBytes;
        const qsizetype count = std::min<qsizetype>(RowBytes, bytes.size() - start);
        for (int k = 0; k < RowBytes; ++k) {
            if (k < count) {
                const auto b = static_cast<unsigned char>(bytes[start + k].unicode());
                *p++ = QLatin1Char(Digits[b >> 4]);
                *p++ = QLatin1Char(Digits[b & 0xF]);
            } else {
                *p++ = u' ';
                *p++ = u' ';
            }
            *p++ = u' ';
        }
        *p++ = u' ';
        for (qsizetype k = 0; k < count; ++k) {
            const char16_t c = bytes[start + k].unicode();
            *p++ = c >= 0x20 && c < 0x7F ? QChar(c) : QChar(u'.');
        }
    }
    out.truncate(p - out.constData());
    return out;
}

} // namespace

void appendByteEscape(QString& out, unsigned char byte) {
    const QChar escape[5] = {u'0', u'x', QLatin1Char(Digits[byte >> 4]),
                             QLatin1Char(Digits[byte & 0xF]), u'h'};
    out.append(escape, 5);
}

QString ReceivedDisplay::format(const QString& data, int indent, qsizetype lastRows, bool final) {
    if (m_mode == ReceivedAs::Hex)
        return hexRows(data, indent, lastRows);
    QString heldCode;
    QString text = m_strip ? stripTerminalCodes(data, final ? nullptr : &heldCode) : data;
    if (m_mode == ReceivedAs::Designed) {
        m_held = heldCode;
        return text;
    }
    QString heldCharacter;
    text = decodeUtf8(text, final ? nullptr : &heldCharacter);
    m_held = heldCharacter + heldCode;
    return text;
}

QString ReceivedDisplay::show(const QString& Data, int indent, qsizetype lastRows) {
    if (m_held.isEmpty())
        return format(Data, indent, lastRows, false);
    const QString data = m_held + Data;
    m_held.clear();
    return format(data, indent, lastRows, false);
}

QString ReceivedDisplay::takeHeld(int indent) {
    const QString data = std::exchange(m_held, QString());
    return format(data, indent, 0, true);
}
