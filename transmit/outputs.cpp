// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/outputs.h"

#include "base/reportfailure.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "transmit/sendpipeline.h"

void sendPredefinedOutput(int index, SendPipeline& pipeline, LogSink& log) {
    QString text;
    reportingFailures(log, QStringLiteral("Output: "), [&] {
        text = SettingsStore::GetSetting(SettingsKeys::AppName, SettingsKeys::Outputs,
                                         SettingsKeys::outputKey(index + 1));
    });
    // A failed read leaves the text empty: nothing is sent.
    pipeline.SendData(text);
}
