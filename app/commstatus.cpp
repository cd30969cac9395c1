#include "serial/serialport.h"
#include "ui/formmain.h"

#include <QLabel>

void FormMain::updateCommStatus() {
    QString text;
    if (m_comm->PortOpen())
        text = QStringLiteral("Connected to COM") + QString::number(qint16(m_comm->CommPort())) +
               u':' + m_comm->Settings();
    else
        text = QStringLiteral("Disconnected. Please select your COM port from options.");
    statusConnection->setText(text);
}
