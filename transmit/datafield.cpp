#include "ui/formmain.h"

#include <QCheckBox>
#include <QLineEdit>

void FormMain::btSendData_Click() {
    const QString field = txtDataSend->text();
    if (field.isEmpty())
        return;
    QString text = field;
    // Only a ticked box adds its line end; a greyed one does not.
    if (CheckCR->checkState() == Qt::Checked)
        text += QChar(13);
    if (CheckLF->checkState() == Qt::Checked)
        text += QChar(10);
    SendData(text);
    if (autoClearIsOn())
        txtDataSend->clear();
}

bool FormMain::autoClearIsOn() const {
    // The flag holds a stored text or an integer; a text that is not a
    // number counts as off.
    bool ok = false;
    const double v = AutoClearOnSend.toString().trimmed().toDouble(&ok);
    return ok && qIsFinite(v) && v != 0;
}
