#pragma once

#include <QSerialPort>
#include <QString>

// A parsed and validated line settings string such as "9600,n,8,1".
struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    // Throws Failure describing the first thing wrong with the text.
    static LineSettings parse(const QString& text);
};
