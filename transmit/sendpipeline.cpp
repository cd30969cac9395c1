// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/sendpipeline.h"

#include "transmit/escapes.h"

#include <new>

void SendPipeline::SendData(const QString& DataToSend) {
    if (DataToSend.isEmpty())
        return;
    m_writer.whileBusy(QStringLiteral("SendData: "), [&] {
        const QString decoded = processData(DataToSend);
        m_writer.port.Output(decoded);
        // A poll tick or another send may run here, before the Sent line.
        m_writer.yield();
        m_writer.log.updateLog(decoded, LogCategory::Sent);
    });
}

QString SendPipeline::processData(const QString& Data) {
    // The decoder itself never throws; only the platform can fail here, by
    // running out of memory.
    try {
        return decodeEscapes(Data);
    } catch (const std::bad_alloc& e) {
        reportFailure(m_writer.log, QStringLiteral("processData: "), e);
        return QString();
    }
}
