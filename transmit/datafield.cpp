// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/datafield.h"

#include "settings/autoclear.h"
#include "transmit/sendpipeline.h"

bool sendDataField(const QString& field, const LineEndStates& lineEnds,
                   const QVariant& autoClearOnSend, SendPipeline& pipeline) {
    if (field.isEmpty())
        return false;
    QString text = field;
    // Only a ticked box adds its line end; a greyed one does not.
    if (lineEnds.sendCR == 1)
        text += QChar(13);
    if (lineEnds.sendLF == 1)
        text += QChar(10);
    pipeline.SendData(text);
    return autoClearIsOn(autoClearOnSend);
}
