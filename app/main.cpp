#include "app/terminationsignals.h"
#include "settings/settingskeys.h"
#include "ui/capturecommandline.h"
#include "ui/formmain.h"
#include "ui/pictures/appicon.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(SettingsKeys::AppName);
    QApplication::setOrganizationName(SettingsKeys::AppName);
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));

    QCommandLineParser parser;
    parser.addOption(captureOption());
    parser.process(app);

    FormMain formMain;
    captureFromCommandLine(formMain, parser);
    closeOnTerminationSignals(&formMain);
    formMain.load();
    formMain.show();
    return QApplication::exec();
}
