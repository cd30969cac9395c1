// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the program icon as PNG files in the hicolor theme's layout
// (<dir>/<n>x<n>/apps/brovik.png) for the build to install.

#include "ui/pictures/appicon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        err << "usage: brovik-iconrender <output folder> [the sizes the build installs...]\n";
        return 2;
    }
    // The build lists the files it installs; they must be the sizes painted here.
    QList<int> expected;
    for (qsizetype i = 2; i < args.size(); ++i)
        expected.append(args.at(i).toInt());
    if (args.size() > 2 && expected != programIconSizes()) {
        err << "brovik-iconrender: the build installs other icon sizes than the program paints\n";
        return 1;
    }
    const QDir out(args.at(1));
    for (int size : programIconSizes()) {
        const QString folder = QStringLiteral("%1x%1/apps").arg(size);
        const QString file = out.filePath(folder + QStringLiteral("/brovik.png"));
        if (!out.mkpath(folder)) {
            err << "brovik-iconrender: cannot create " << out.filePath(folder) << '\n';
            return 1;
        }
        // Read back, so a broken image fails the build instead of being installed.
        if (!programIconImage(size).save(file, "PNG") || QImage(file).size() != QSize(size, size)) {
            err << "brovik-iconrender: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
