#include "app/failure.h"
#include "serial/serialport.h"
#include "transmit/escapes.h"
#include "ui/formmain.h"

#include <QCoreApplication>

void FormMain::SendData(const QString& DataToSend) {
    if (DataToSend.isEmpty())
        return;
    try {
        if (!m_comm->PortOpen()) {
            setDefaultPointer();
            return;
        }
        setBusyPointer();
        const QString decoded = processData(DataToSend);
        m_comm->Output(decoded);
        // Let pending events run: a poll tick or another send may run here.
        QCoreApplication::processEvents();
        updateLog(decoded, Sent);
        setDefaultPointer();
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("SendData: ") + describe(e), Error);
        setDefaultPointer();
    }
}

QString FormMain::processData(const QString& Data) {
    try {
        return decodeEscapes(Data);
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("processData: ") + describe(e), Error);
        return QString();
    }
}
