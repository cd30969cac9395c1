// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/iniescaping.h"

#include <QStringEncoder>

namespace {

// Bytes that are not UTF-8 come back changed from a round trip.
bool isUtf8(QByteArrayView bytes) {
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString decodeText(QByteArrayView bytes) {
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char simpleEscape(char c) {
    switch (c) {
    case 'a':
        return '\a';
    case 'b':
        return '\b';
    case 'f':
        return '\f';
    case 'n':
        return '\n';
    case 'r':
        return '\r';
    case 't':
        return '\t';
    case 'v':
        return '\v';
    case '"':
    case '?':
    case '\'':
    case '\\':
        return c;
    default:
        return 0;
    }
}

void chopSpaces(QString& s, qsizetype limit) {
    while (s.size() > limit && (s.back() == u' ' || s.back() == u'\t'))
        s.chop(1);
}

// QSettings marks values that are not plain text with "@": undo what it
// does to text, and take the text of a byte array.
QString fromVariantText(const QString& s) {
    if (!s.startsWith(u'@'))
        return s;
    if (s.endsWith(u')')) {
        if (s.startsWith(QLatin1String("@ByteArray(")))
            return decodeText(s.sliced(11).chopped(1).toLatin1());
        if (s.startsWith(QLatin1String("@String(")))
            return s.sliced(8).chopped(1);
        if (s == QLatin1String("@Invalid()"))
            return QString();
    }
    if (s.startsWith(QLatin1String("@@")))
        return s.sliced(1);
    return s;
}

} // namespace

QString iniKey(QByteArrayView escaped) {
    const QString decoded = decodeText(escaped);
    QString key;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar ch = decoded[i];
        if (ch == u'\\') {
            key += u'/';
            ++i;
            continue;
        }
        if (ch == u'%' && i + 1 < decoded.size()) {
            const bool wide = decoded[i + 1] == u'U';
            const qsizetype first = i + (wide ? 2 : 1);
            const qsizetype digits = wide ? 4 : 2;
            bool ok = false;
            const ushort code =
                first + digits <= decoded.size() ? decoded.mid(first, digits).toUShort(&ok, 16) : 0;
            if (ok) {
                key += QChar(code);
                i = first + digits;
                continue;
            }
        }
        key += ch;
        ++i;
    }
    return key;
}

QByteArray iniEscapedKey(const QString& key) {
    QByteArray out;
    for (const QChar qch : key) {
        const char16_t ch = qch.unicode();
        if (ch == u'/')
            out += '\\';
        else if ((ch >= u'a' && ch <= u'z') || (ch >= u'A' && ch <= u'Z') ||
                 (ch >= u'0' && ch <= u'9') || ch == u'_' || ch == u'-' || ch == u'.')
            out += char(ch);
        else if (ch <= 0xFF)
            out += '%' + QByteArray::number(ch, 16).toUpper().rightJustified(2, '0');
        else
            out += "%U" + QByteArray::number(ch, 16).toUpper().rightJustified(4, '0');
    }
    return out;
}

QString iniValue(QByteArrayView raw) {
    // Decide once for the whole value whether its bytes are UTF-8, so that a
    // Latin-1 value keeps every byte.
    const bool utf8 = isUtf8(raw);
    auto text = [&](QByteArrayView run) {
        return utf8 ? QString::fromUtf8(run) : QString::fromLatin1(run);
    };

    QString s;
    qsizetype i = 0;
    const qsizetype n = raw.size();
    bool quoted = false;     // inside quotes now
    bool wasQuoted = false;  // quotes seen: spaces at the end are kept
    qsizetype chopLimit = 0; // escapes and quoted text are never chopped
    auto skipSpaces = [&] {
        while (i < n && (raw[i] == ' ' || raw[i] == '\t'))
            ++i;
        chopLimit = s.size();
    };
    skipSpaces();
    while (i < n) {
        const char c = raw[i];
        if (c == '\\') {
            if (++i >= n)
                break;
            const char e = raw[i++];
            if (const char simple = simpleEscape(e)) {
                s += QLatin1Char(simple);
            } else if ((e == 'x' && i < n && hexDigit(raw[i]) >= 0) || (e >= '0' && e <= '7')) {
                const int base = e == 'x' ? 16 : 8;
                char16_t code = e == 'x' ? 0 : char16_t(e - '0');
                for (; i < n; ++i) {
                    const int d = hexDigit(raw[i]);
                    if (d < 0 || d >= base)
                        break;
                    code = char16_t(code * base + d);
                }
                s += QChar(code);
            } // any other escaped character is dropped, as QSettings does
            chopLimit = s.size();
        } else if (c == '"') {
            ++i;
            wasQuoted = true;
            quoted = !quoted;
            if (!quoted)
                skipSpaces();
        } else {
            qsizetype j = i + 1;
            while (j < n && raw[j] != '\\' && raw[j] != '"')
                ++j;
            s += text(raw.sliced(i, j - i));
            i = j;
        }
    }
    if (!wasQuoted)
        chopSpaces(s, chopLimit);
    return fromVariantText(s);
}

QByteArray iniEscapedValue(const QString& value) {
    QString s = value;
    if (s.contains(QChar::Null))
        s = QStringLiteral("@String(") + s + u')';
    else if (s.startsWith(u'@'))
        s.prepend(u'@');

    QStringEncoder utf8(QStringEncoder::Utf8); // keeps a surrogate pair's halves together
    QByteArray out;
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (const QChar qch : s) {
        const char16_t ch = qch.unicode();
        if (ch == u';' || ch == u',' || ch == u'=')
            needsQuotes = true;
        if (escapeNextIfDigit && ch < 0x80 && hexDigit(char(ch)) >= 0) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case u'\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case u'\a':
            out += "\\a";
            break;
        case u'\b':
            out += "\\b";
            break;
        case u'\f':
            out += "\\f";
            break;
        case u'\n':
            out += "\\n";
            break;
        case u'\r':
            out += "\\r";
            break;
        case u'\t':
            out += "\\t";
            break;
        case u'\v':
            out += "\\v";
            break;
        case u'"':
        case u'\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += utf8(QStringView(&qch, 1));
            }
        }
    }
    if (needsQuotes || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}
