#include "app/failure.h"
#include "settings/settingsstore.h"
#include "ui/formmain.h"

void FormMain::outputCmd_Click(int index) {
    QString text;
    try {
        // Read afresh at every click, so a saved output takes effect at once.
        text = SettingsStore::GetSetting(QStringLiteral("Brovik"), QStringLiteral("Outputs"),
                                         QStringLiteral("Output%1").arg(index + 1), QString());
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("Output: ") + describe(e), Error);
        return;
    }
    if (!text.isEmpty())
        SendData(text);
}
