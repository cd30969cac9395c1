#include "app/terminationsignals.h"
#include "settings/settingskeys.h"
#include "ui/formmain.h"
#include "ui/pictures/appicon.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(SettingsKeys::AppName);
    QApplication::setOrganizationName(SettingsKeys::AppName);
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));

    FormMain formMain;
    closeOnTerminationSignals(&formMain);
    formMain.load();
    formMain.show();
    return QApplication::exec();
}
