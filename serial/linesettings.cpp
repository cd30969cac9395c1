// SPDX-License-Identifier: GPL-3.0-or-later
#include "serial/linesettings.h"

#include "base/failure.h"

#include <QStringList>

namespace {

// Far above any UART, but small enough for every driver call to take it.
constexpr qint64 MaxBaud = 100'000'000;

bool isDigits(const QString& s) {
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

LineSettings LineSettings::parse(const QString& text) {
    const QStringList f = text.split(u',');
    const QString quoted = u'"' + text + u'"';
    if (f.size() != 4)
        throw Failure(QStringLiteral("invalid settings %1: expected baud,parity,data bits,stop "
                                     "bits such as 9600,n,8,1")
                          .arg(quoted));
    LineSettings s;
    s.fields = {f[0], f[1], f[2], f[3]};

    bool ok = false;
    const qint64 baud = f[0].toLongLong(&ok);
    if (!isDigits(f[0]) || !ok || baud < 1 || baud > MaxBaud)
        throw Failure(QStringLiteral("invalid baud rate \"%1\" in settings %2").arg(f[0], quoted));
    s.baud = static_cast<qint32>(baud);

    const QString p = f[1].toLower();
    if (p == u"n")
        s.parity = QSerialPort::NoParity;
    else if (p == u"o")
        s.parity = QSerialPort::OddParity;
    else if (p == u"e")
        s.parity = QSerialPort::EvenParity;
    else if (p == u"m")
        s.parity = QSerialPort::MarkParity;
    else if (p == u"s")
        s.parity = QSerialPort::SpaceParity;
    else
        throw Failure(QStringLiteral("invalid parity \"%1\" in settings %2 (use n, o, e, m or s)")
                          .arg(f[1], quoted));

    if (f[2].size() != 1 || f[2][0] < u'5' || f[2][0] > u'8')
        throw Failure(QStringLiteral("invalid data bits \"%1\" in settings %2 (use 5 to 8)")
                          .arg(f[2], quoted));
    s.dataBits = static_cast<QSerialPort::DataBits>(f[2][0].unicode() - u'0');

    // Linux has one "more than one stop bit" flag: a UART sends 1.5 stop bits
    // for it with 5 data bits and 2 otherwise. QSerialPort's OneAndHalfStop would
    // silently send one stop bit, so both map to TwoStop.
    if (f[3] == u"1") {
        s.stopBits = QSerialPort::OneStop;
    } else if (f[3] == u"1.5") {
        if (s.dataBits != QSerialPort::Data5)
            throw Failure(
                QStringLiteral("1.5 stop bits need 5 data bits (settings %1)").arg(quoted));
        s.stopBits = QSerialPort::TwoStop;
    } else if (f[3] == u"2") {
        if (s.dataBits == QSerialPort::Data5)
            throw Failure(
                QStringLiteral("2 stop bits need 6 to 8 data bits (settings %1)").arg(quoted));
        s.stopBits = QSerialPort::TwoStop;
    } else {
        throw Failure(QStringLiteral("invalid stop bits \"%1\" in settings %2 (use 1, 1.5 or 2)")
                          .arg(f[3], quoted));
    }
    return s;
}

QString LineSettings::format(const Fields& fields) {
    return fields.baud + u',' + fields.parity + u',' + fields.dataBits + u',' + fields.stopBits;
}
