// SPDX-License-Identifier: GPL-3.0-or-later
// brovik-paint-pictures FOLDER: paints the main window's banner for the
// pixel ratios it is prepainted for into FOLDER, at build time.

#include "ui/pictures/banner.h"
#include "ui/pictures/painting.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    // Qt wants a runtime folder, which a build may run without.
    QTemporaryDir runtime;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: brovik-paint-pictures FOLDER\n", stderr);
        return 2;
    }
    // Painted in another face, the banner would be built into the program
    // looking unlike the one the program paints for itself.
    const QString wanted = pictureFont(11).family();
    if (QFontInfo(pictureFont(11)).family() != wanted) {
        std::fprintf(stderr,
                     "brovik-paint-pictures: the font %s is missing (on Debian: apt-get install "
                     "fonts-dejavu-core)\n",
                     qPrintable(wanted));
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "brovik-paint-pictures: cannot make %s\n", argv[1]);
        return 1;
    }
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage image = paintedBannerPixmap(dpr).toImage().convertToFormat(PrepaintedFormat);
        const QString path = folder.filePath(prepaintedBannerName(dpr));
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()) !=
                image.sizeInBytes() ||
            !file.commit()) {
            std::fprintf(stderr, "brovik-paint-pictures: cannot write %s: %s\n", qPrintable(path),
                         qPrintable(file.errorString()));
            return 1;
        }
    }
    return 0;
}
