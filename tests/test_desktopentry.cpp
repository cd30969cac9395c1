#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

// The desktop entry: valid for the desktop's tools, and naming the program
// and the icon the build installs.
class TestDesktopEntry : public QObject {
    Q_OBJECT

private slots:
    void validates();
    void startsTheProgramWithItsIcon();
};

void TestDesktopEntry::validates() {
    const QString validator =
        QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    QProcess run;
    run.setProcessChannelMode(QProcess::MergedChannels);
    run.start(validator, {QStringLiteral(BROVIK_DESKTOP_FILE)});
    QVERIFY(run.waitForFinished(30000));
    const QByteArray report = run.readAll();
    QVERIFY2(run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0, report.constData());
    // Warnings leave the exit code alone; a tidy entry has none. The one hint
    // allowed is for being listed under both Development and Utility.
    for (const QByteArray& line : report.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QVERIFY2(line.contains("hint:") && line.contains("more than one main category"),
                 line.constData());
    }
}

void TestDesktopEntry::startsTheProgramWithItsIcon() {
    QFile file(QStringLiteral(BROVIK_DESKTOP_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> entry;
    QString group;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            group = line;
        else if (group == QStringLiteral("[Desktop Entry]") && line.contains(QLatin1Char('=')))
            entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Brovik"));
    // The installed executable and the hicolor icon files are both "brovik".
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral(BROVIK_EXECUTABLE_NAME));
    QCOMPARE(entry.value(QStringLiteral("Icon")), QStringLiteral(BROVIK_ICON_NAME));
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    QCOMPARE(entry.value(QStringLiteral("Categories")), QStringLiteral("Development;Utility;"));
    const QStringList categories =
        entry.value(QStringLiteral("Categories")).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    QVERIFY(categories.contains(QStringLiteral("Development")));
}

QTEST_GUILESS_MAIN(TestDesktopEntry)
#include "test_desktopentry.moc"
