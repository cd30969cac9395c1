// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures/appicon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// The desktop integration: the menu entry, the software centres' metadata and
// the scalable icon, valid for the desktop's tools and telling one story.

namespace {

QMap<QString, QString> readDesktopEntry() {
    QFile file(QStringLiteral(BROVIK_DESKTOP_FILE));
    QMap<QString, QString> entry;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            group = line;
        else if (group == QStringLiteral("[Desktop Entry]") && line.contains(QLatin1Char('=')))
            entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return entry;
}

QStringList listValue(const QString& value) {
    return value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

// What the metainfo file says, element by element.
struct Metainfo {
    QString id;
    QString launchable;
    QStringList categories;
    QStringList keywords;
    QStringList screenshots;
    QString newestRelease;
    QString error;
};

Metainfo readMetainfo() {
    Metainfo info;
    QFile file(QStringLiteral(BROVIK_METAINFO_FILE));
    if (!file.open(QIODevice::ReadOnly)) {
        info.error = file.errorString();
        return info;
    }
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("release")) {
            // Releases are listed newest first.
            if (info.newestRelease.isEmpty())
                info.newestRelease = xml.attributes().value(QLatin1String("version")).toString();
        } else if (name == QLatin1String("id")) {
            info.id = xml.readElementText();
        } else if (name == QLatin1String("launchable")) {
            info.launchable = xml.readElementText();
        } else if (name == QLatin1String("category")) {
            info.categories.append(xml.readElementText());
        } else if (name == QLatin1String("keyword")) {
            info.keywords.append(xml.readElementText());
        } else if (name == QLatin1String("image")) {
            info.screenshots.append(xml.readElementText());
        }
    }
    if (xml.hasError())
        info.error = xml.errorString();
    return info;
}

} // namespace

class TestDesktopEntry : public QObject {
    Q_OBJECT

private slots:
    void validatesClean_data();
    void validatesClean();
    void startsTheProgramWithItsIcon();
    void metainfoTellsTheSameStory();
    void scalableIconIsThePaintedOne_data();
    void scalableIconIsThePaintedOne();
};

void TestDesktopEntry::validatesClean_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("package");
    // The one line a clean run may print; every other line is a finding.
    QTest::addColumn<QString>("cleanLine");
    QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate")
                                   << QStringList{QStringLiteral(BROVIK_DESKTOP_FILE)}
                                   << QStringLiteral("desktop-file-utils") << QString();
    // Offline: the web addresses are placeholders that no server answers yet.
    QTest::newRow("AppStream metadata")
        << QStringLiteral("appstreamcli")
        << QStringList{QStringLiteral("validate"), QStringLiteral("--pedantic"),
                       QStringLiteral("--explain"), QStringLiteral("--no-net"),
                       QStringLiteral(BROVIK_METAINFO_FILE)}
        << QStringLiteral("appstream") << QStringLiteral("Validation was successful.");
}

void TestDesktopEntry::validatesClean() {
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    QFETCH(QString, package);
    QFETCH(QString, cleanLine);
    const QString validator = QStandardPaths::findExecutable(program);
    if (validator.isEmpty())
        QSKIP(qPrintable(program + QStringLiteral(" is not installed (Debian package ") + package +
                         QLatin1Char(')')));
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(validator, arguments);
    QVERIFY(run.waitForFinished(60000));
    const QString report = QString::fromUtf8(run.readAll());
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, qPrintable(report));
    // Warnings, hints and pedantic notes leave the exit code alone.
    for (const QString& line : report.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        QVERIFY2(!cleanLine.isEmpty() && line.trimmed().endsWith(cleanLine), qPrintable(report));
}

void TestDesktopEntry::startsTheProgramWithItsIcon() {
    const QMap<QString, QString> entry = readDesktopEntry();
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Brovik"));
    // The installed executable and the hicolor icon files are both "brovik".
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral(BROVIK_EXECUTABLE_NAME));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral(BROVIK_ICON_NAME));
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    // One main category, so menus list Brovik once.
    QCOMPARE(listValue(entry.value(QStringLiteral("Categories"))).value(0),
             QStringLiteral("Development"));
}

void TestDesktopEntry::metainfoTellsTheSameStory() {
    const Metainfo info = readMetainfo();
    QVERIFY2(info.error.isEmpty(), qPrintable(info.error));
    // Software centres find the menu entry by its file name.
    QCOMPARE(info.launchable, QFileInfo(QStringLiteral(BROVIK_DESKTOP_FILE)).fileName());
    QCOMPARE(QFileInfo(QStringLiteral(BROVIK_METAINFO_FILE)).fileName(),
             info.id + QStringLiteral(".metainfo.xml"));
    const QMap<QString, QString> entry = readDesktopEntry();
    QCOMPARE(info.categories, listValue(entry.value(QStringLiteral("Categories"))));
    QCOMPARE(info.keywords, listValue(entry.value(QStringLiteral("Keywords"))));
    QCOMPARE(info.newestRelease, QStringLiteral(BROVIK_PACKAGE_VERSION));
    // The screenshots are the README's pictures, published under the same names.
    QVERIFY(!info.screenshots.isEmpty());
    const QDir docs(QStringLiteral(BROVIK_DOCS_DIR));
    for (const QString& url : info.screenshots) {
        QVERIFY2(url.startsWith(QStringLiteral("https://")), qPrintable(url));
        const QString name = url.section(QLatin1Char('/'), -1);
        QVERIFY2(url.endsWith(QStringLiteral("/docs/") + name) && docs.exists(name),
                 qPrintable(url));
    }
}

void TestDesktopEntry::scalableIconIsThePaintedOne_data() {
    QTest::addColumn<int>("size");
    for (int size : {16, 48, 256})
        QTest::addRow("%d", size) << size;
}

void TestDesktopEntry::scalableIconIsThePaintedOne() {
    QFETCH(int, size);
    const QString renderer = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    if (renderer.isEmpty())
        QSKIP("rsvg-convert is not installed (Debian package librsvg2-bin)");
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("icon.png"));
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(renderer, {QStringLiteral("-w"), QString::number(size), QStringLiteral("-h"),
                         QString::number(size), QStringLiteral("-o"), png,
                         QStringLiteral(BROVIK_SCALABLE_ICON)});
    QVERIFY(run.waitForFinished(60000));
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0,
             run.readAll().constData());

    const QImage drawn = QImage(png).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage painted =
        programIconImage(size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(drawn.size(), painted.size());
    // The two renderers smooth edges a little differently; a changed shape or
    // colour shows in far more pixels than that.
    constexpr int tolerance = 16;
    int differing = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = painted.pixel(x, y);
            if (qAbs(qRed(a) - qRed(b)) > tolerance || qAbs(qGreen(a) - qGreen(b)) > tolerance ||
                qAbs(qBlue(a) - qBlue(b)) > tolerance || qAbs(qAlpha(a) - qAlpha(b)) > tolerance)
                ++differing;
        }
    }
    QVERIFY2(differing <= size * size / 200,
             qPrintable(QStringLiteral("%1 of %2 pixels differ")
                            .arg(QString::number(differing), QString::number(size * size))));
}

QTEST_MAIN(TestDesktopEntry)
#include "test_desktopentry.moc"
