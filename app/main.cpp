#include "ui/formmain.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brovik"));
    QApplication::setOrganizationName(QStringLiteral("Brovik"));
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));

    FormMain formMain;
    formMain.load();
    formMain.show();
    return QApplication::exec();
}
