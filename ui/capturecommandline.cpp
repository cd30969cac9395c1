#include "ui/capturecommandline.h"

#include "ui/formmain.h"
#include "ui/logcontrols.h"

#include <QCommandLineParser>

QCommandLineOption captureOption() {
    return QCommandLineOption(QStringLiteral("capture"),
                              QStringLiteral("Capture the log to <file> from the start: every "
                                             "entry with its time, or the received bytes alone "
                                             "when the raw capture is chosen."),
                              QStringLiteral("file"));
}

void captureFromCommandLine(FormMain& formMain, const QCommandLineParser& parser) {
    const QString file = parser.value(captureOption());
    if (!file.isEmpty())
        formMain.logControls().startCapture(file, false);
}
