// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/failure.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"
#include "transmit/escapetext.h"
#include "ui/formmain.h"

#include <QPushButton>
#include <QTextDocument>

namespace {

// A long output is described by its beginning.
constexpr qsizetype DescribedCharacters = 60;

QString describeOutput(int index) {
    const QString name = QStringLiteral("Out%1").arg(index + 1);
    QString text;
    try {
        text = SettingsStore::GetSetting(SettingsKeys::AppName, SettingsKeys::Outputs,
                                         SettingsKeys::outputKey(index + 1));
    } catch (const std::exception& e) {
        return name + QStringLiteral(": its stored text cannot be read: ") + describe(e);
    }
    if (text.isEmpty())
        return QStringLiteral("Sends nothing: set %1 in Options").arg(name);
    QString shown = showEscapes(text.left(DescribedCharacters));
    if (text.size() > DescribedCharacters)
        shown += QStringLiteral("...");
    return QStringLiteral("Sends: ") + shown;
}

} // namespace

void FormMain::updateOutputDescriptions() {
    for (int i = 0; i < SettingsKeys::OutputCount; ++i) {
        const QString description = describeOutput(i);
        outputCmd[i]->setAccessibleDescription(description);
        // A stored text such as "<b>" must show as typed, not as markup.
        outputCmd[i]->setToolTip(
            Qt::mightBeRichText(description) ? Qt::convertFromPlainText(description) : description);
    }
}
