#include "app/failure.h"
#include "serial/serialport.h"
#include "transmit/filereading.h"
#include "ui/formmain.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QLineEdit>

void FormMain::btChooseFile_Click() {
    // The dialog lives as long as the window, so it opens where the last
    // choice was. A cancel leaves the field as it is.
    if (CommonDialog->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = CommonDialog->selectedFiles();
    if (!chosen.isEmpty() && !chosen.first().isEmpty())
        txtFileSend->setText(chosen.first());
}

void FormMain::btSendFile_Click() {
    const QString path = txtFileSend->text();
    if (path.isEmpty())
        return;
    try {
        if (!m_comm->PortOpen()) {
            setDefaultPointer();
            return;
        }
        setBusyPointer();
        // Read whole and closed at once; only the bytes stay in memory.
        const QByteArray contents = readWholeFile(path);
        updateLog(QStringLiteral("Sending %1 bytes...").arg(contents.size()), Info);
        QCoreApplication::processEvents();
        // Sent exactly as read: never decoded, nothing appended.
        m_comm->OutputBytes(contents);
        QCoreApplication::processEvents();
        updateLog(QStringLiteral("File ") + path, Sent);
        setDefaultPointer();
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("SendFile: ") + describe(e), Error);
        setDefaultPointer();
    }
}
