// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "transmit/portwriter.h"

#include <QString>

// Sends a whole file exactly as read: no escape decoding, nothing appended.
class FileSender {
public:
    explicit FileSender(PortWriter writer) : m_writer(std::move(writer)) {}

    // An empty path and a closed port are ignored silently; a failure is
    // logged as "SendFile: ...".
    void SendFile(const QString& path);

private:
    PortWriter m_writer;
};
