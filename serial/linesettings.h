// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSerialPort>
#include <QString>

// A parsed and validated line settings string such as "9600,n,8,1".
struct LineSettings {
    // The four fields, in the string's order, exactly as written.
    struct Fields {
        QString baud = QStringLiteral("9600");
        QString parity = QStringLiteral("n");
        QString dataBits = QStringLiteral("8");
        QString stopBits = QStringLiteral("1");
    };

    Fields fields;
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // Throws Failure describing the first thing wrong with the text.
    static LineSettings parse(const QString& text);
    // The fields joined into a settings string: "9600,n,8,1".
    static QString format(const Fields& fields);
    // The settings string as it was written.
    QString text() const { return format(fields); }
};
