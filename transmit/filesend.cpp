// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/filesend.h"

#include "transmit/filereading.h"

void FileSender::SendFile(const QString& path) {
    if (path.isEmpty())
        return;
    m_writer.whileBusy(QStringLiteral("SendFile: "), [&] {
        // Read whole and closed at once; only the bytes stay in memory.
        const QByteArray contents = readWholeFile(path);
        m_writer.log.updateLog(QStringLiteral("Sending %1 bytes...").arg(contents.size()),
                               LogCategory::Info);
        m_writer.yield();
        m_writer.port.OutputBytes(contents);
        m_writer.yield();
        m_writer.log.updateLog(QStringLiteral("File ") + path, LogCategory::Sent);
    });
}
