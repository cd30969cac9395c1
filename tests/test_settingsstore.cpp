// The per-user settings store on fresh, hand-edited, corrupted and unwritable files.
#include "base/failure.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>

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
};

QTEST_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
