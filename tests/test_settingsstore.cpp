// The per-user settings store on fresh, hand-edited, corrupted and unwritable files.
#include "base/failure.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>

class TestSettingsStore : public QObject {
    Q_OBJECT
    TestEnv env;
    const QString app = QStringLiteral("Brovik");

    QString get(const QString& section, const QString& key, const QString& def = QString()) {
        return SettingsStore::GetSetting(app, section, key, def);
    }

private slots:
    void init() {
        QFile(QFileInfo(env.settingsFile()).absolutePath()).remove(); // a file left by a test
        QDir(QFileInfo(env.settingsFile()).absolutePath()).removeRecursively();
    }

    void absentKeysGiveTheDefaultAndSavesReadBack() {
        QCOMPARE(
            get(QStringLiteral("COM"), QStringLiteral("Settings"), QStringLiteral("9600,n,8,1")),
            QStringLiteral("9600,n,8,1"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")), QString());

        const QString tricky = QStringLiteral("AT0x0Dh, \"quoted\"; =;#[x] \\ ü\t");
        SettingsStore::SaveSetting(app, QStringLiteral("Outputs"), QStringLiteral("Output1"),
                                   tricky);
        SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Settings"),
                                   QStringLiteral("19200,e,7,2"));
        SettingsStore::SaveSetting(app, QStringLiteral("Outputs"), QStringLiteral("Output2"),
                                   QString());
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")), tricky);
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Settings")),
                 QStringLiteral("19200,e,7,2"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output2"), QStringLiteral("dflt")),
                 QString());
        // On disk at once, where the user expects it.
        QVERIFY(env.readSettingsFile().contains("19200,e,7,2"));
        QVERIFY(env.settingsFile().endsWith(QStringLiteral("/Brovik/Brovik.ini")));
    }

    void theFileIsReadableByItsOwnerOnly() {
        SettingsStore::SaveSetting(app, QStringLiteral("Outputs"), QStringLiteral("Output1"),
                                   QStringLiteral("PIN 1234"));
        QCOMPARE(QFile::permissions(env.settingsFile()) &
                     ~(QFile::ReadUser | QFile::WriteUser | QFile::ReadOwner | QFile::WriteOwner),
                 QFileDevice::Permissions());
        SettingsStore::SaveSetting(app, QStringLiteral("Outputs"), QStringLiteral("Output2"),
                                   QStringLiteral("again"));
        QVERIFY(!(QFile::permissions(env.settingsFile()) & (QFile::ReadGroup | QFile::ReadOther)));
    }

    void handEditedValuesReadBackAsWritten() {
        env.writeSettingsFile("[COM]\nSettings=9600,n,8,1\nPort=3\n"
                              "[Outputs]\nOutput1=AT0x0Dh\nOutput2=\"quoted,text\"\n");
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Settings")),
                 QStringLiteral("9600,n,8,1"));
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Port")), QStringLiteral("3"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")),
                 QStringLiteral("AT0x0Dh"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output2")),
                 QStringLiteral("quoted,text"));
        // A save keeps the other hand-edited keys.
        SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                   QStringLiteral("4"));
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Settings")),
                 QStringLiteral("9600,n,8,1"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")),
                 QStringLiteral("AT0x0Dh"));
    }

    void aCorruptedFileGivesDefaultsAndIsRepairedBySaving() {
        QByteArray junk;
        for (int i = 0; i < 2000; ++i)
            junk.append(static_cast<char>((i * 37) & 0xFF));
        env.writeSettingsFile(junk);
        QCOMPARE(get(QStringLiteral("General"), QStringLiteral("SendCR"), QStringLiteral("0")),
                 QStringLiteral("0"));
        SettingsStore::SaveSetting(app, QStringLiteral("General"), QStringLiteral("SendCR"),
                                   QStringLiteral("1"));
        QCOMPARE(get(QStringLiteral("General"), QStringLiteral("SendCR")), QStringLiteral("1"));
    }

    void unwritableLocationsFailWithTheReason() {
        // A file where the folder should be: the save cannot create the file.
        const QString folder = QFileInfo(env.settingsFile()).absolutePath();
        QFile blocker(folder);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        try {
            SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                       QStringLiteral("2"));
            QFAIL("saving into an impossible folder succeeded");
        } catch (const Failure& f) {
            QVERIFY2(f.description().contains(folder), qPrintable(f.description()));
        }
        QFile::remove(folder);

        // A folder where the file should be.
        QVERIFY(QDir().mkpath(env.settingsFile()));
        try {
            SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                       QStringLiteral("2"));
            QFAIL("saving over a folder succeeded");
        } catch (const Failure& f) {
            QVERIFY2(f.description().contains(env.settingsFile()), qPrintable(f.description()));
        }
        QVERIFY(QFileInfo(env.settingsFile()).isDir());
    }

    void whatIsNotASettingsFileIsNeitherReadNorReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("linked"); // reached through a link, as dotfiles are
        QTest::addColumn<QString>("description");
        QTest::newRow("FIFO") << "fifo" << false << "is not a regular file: it is a FIFO";
        QTest::newRow("linked FIFO") << "fifo" << true << "is not a regular file: it is a FIFO";
        QTest::newRow("folder") << "folder" << false << "is not a regular file: it is a folder";
        QTest::newRow("linked device")
            << "device" << true << "is not a regular file: it is a device";
        QTest::newRow("dangling link") << "nothing" << true << "which does not exist";
    }
    void whatIsNotASettingsFileIsNeitherReadNorReplaced() {
        QFETCH(QString, kind);
        QFETCH(bool, linked);
        QFETCH(QString, description);
        QTemporaryDir elsewhere;
        const QString file = env.settingsFile();
        QVERIFY(QDir().mkpath(QFileInfo(file).absolutePath()));
        const QString thing = linked ? elsewhere.filePath(QStringLiteral("thing")) : file;
        const QByteArray native = QFile::encodeName(thing);
        if (kind == u"fifo")
            QCOMPARE(::mkfifo(native.constData(), 0600), 0);
        else if (kind == u"folder")
            QVERIFY(QDir().mkdir(thing));
        else if (kind == u"device" &&
                 ::mknod(native.constData(), S_IFCHR | 0600, makedev(1, 3)) != 0)
            QSKIP("making a device node needs root");
        if (linked)
            QVERIFY(QFile::link(thing, file));
        struct stat before {};
        ::lstat(native.constData(), &before);

        for (const bool save : {false, true}) {
            try {
                if (save)
                    SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                               QStringLiteral("2"));
                else
                    get(QStringLiteral("COM"), QStringLiteral("Port"));
                QFAIL("a settings file that is not a regular file was used");
            } catch (const Failure& f) {
                QVERIFY2(f.description().contains(description) && f.description().contains(file),
                         qPrintable(f.description()));
            }
        }
        // Nothing was replaced: the thing and the link to it are as they were.
        struct stat after {};
        QCOMPARE(::lstat(native.constData(), &after) == 0, kind != u"nothing");
        QCOMPARE(after.st_mode & S_IFMT, before.st_mode & S_IFMT);
        QCOMPARE(QFileInfo(file).isSymLink(), linked);
    }

    void aLinkToARegularFileIsWrittenThroughAtomically() {
        QTemporaryDir repository;
        const QString target = repository.filePath(QStringLiteral("Brovik.ini"));
        QFile t(target);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("[Outputs]\nOutput1=kept\n");
        t.close();
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::ReadOther);
        QVERIFY(QDir().mkpath(QFileInfo(env.settingsFile()).absolutePath()));
        QVERIFY(QFile::link(target, env.settingsFile()));

        SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                   QStringLiteral("3"));
        QVERIFY(QFileInfo(env.settingsFile()).isSymLink());
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Port")), QStringLiteral("3"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")), QStringLiteral("kept"));
        QCOMPARE(QFile::permissions(target) & (QFile::ReadGroup | QFile::ReadOther),
                 QFileDevice::Permissions());
    }
};

QTEST_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
