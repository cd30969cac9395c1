// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transmit/portwriter.h"

#include <QString>

// The one route by which typed data and predefined outputs reach the port:
// decode the escapes, write in one piece, yield, then log what was sent.
class SendPipeline {
public:
    explicit SendPipeline(PortWriter writer) : m_writer(std::move(writer)) {}

    // Empty text and a closed port are ignored silently; a failure is
    // logged as "SendData: ...".
    void SendData(const QString& DataToSend);
    // The text to send with its escapes decoded.
    QString processData(const QString& Data);

private:
    PortWriter m_writer;
};
