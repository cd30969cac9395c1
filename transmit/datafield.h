// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/lineends.h"

#include <QString>
#include <QVariant>

class SendPipeline;

// Sends the data field's text with the ticked line ends (CR, then LF).
// Returns whether the field is to be emptied: when the auto-clear flag is on,
// whatever the send did; never for an empty field.
bool sendDataField(const QString& field, const LineEndStates& lineEnds,
                   const QVariant& autoClearOnSend, SendPipeline& pipeline);
