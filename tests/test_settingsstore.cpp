// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user settings store on fresh, hand-edited, corrupted and unwritable files.
#include "base/failure.h"
#include "settings/settingsstore.h"
#include "support/testenv.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <thread>
#include <unistd.h>

namespace {

// Points the store at another configuration folder while it lives.
class ConfigHome {
public:
    explicit ConfigHome(const QString& dir) : m_old(qgetenv("XDG_CONFIG_HOME")) {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir));
    }
    ~ConfigHome() { qputenv("XDG_CONFIG_HOME", m_old); }

private:
    QByteArray m_old;
};

// A small tmpfs of its own, unmounted when done; invalid where mounting is not allowed.
class SmallDisk {
public:
    explicit SmallDisk(const char* size) {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0,
                            options.constData()) == 0;
    }
    ~SmallDisk() {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

QString modeOf(const QString& path) {
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return QString::number(st.st_mode & 07777, 8);
}

QByteArray bytesOf(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

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

        SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Settings"),
                                   QStringLiteral("19200,e,7,2"));
        SettingsStore::SaveSetting(app, QStringLiteral("Outputs"), QStringLiteral("Output2"),
                                   QString());
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
                              "[Outputs]\nOutput1=AT0x0Dh\nOutput2=\"quoted,text\"\n"
                              "Output3=AT\xe9\n");
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Settings")),
                 QStringLiteral("9600,n,8,1"));
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Port")), QStringLiteral("3"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output1")),
                 QStringLiteral("AT0x0Dh"));
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output2")),
                 QStringLiteral("quoted,text"));
        // A byte that is not UTF-8 reads as that one byte.
        QCOMPARE(get(QStringLiteral("Outputs"), QStringLiteral("Output3")),
                 QStringLiteral("AT\u00e9"));
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
    void valuesReadAndWriteAsQSettingsDoes_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("port settings") << "COM"
                                       << "Settings"
                                       << "9600,n,8,1";
        QTest::newRow("quotes, separators") << "Outputs"
                                            << "Output1"
                                            << "AT0x0Dh, \"quoted\"; =;#[x] \\ \u00fc\t";
        QTest::newRow("spaces around") << "Outputs"
                                       << "Output2"
                                       << "  padded  ";
        QTest::newRow("at sign first") << "Outputs"
                                       << "Output3"
                                       << "@ByteArray(x)";
        QTest::newRow("control characters") << "Outputs"
                                            << "Output4" << QStringLiteral("\x01") + "1f\r\n\a";
        QTest::newRow("beyond Latin-1") << "Outputs"
                                        << "Output5"
                                        << "\u00b5\u03a9\u20ac\U0001F600";
        QTest::newRow("empty") << "Outputs"
                               << "Output6"
                               << "";
        QTest::newRow("backslashes") << "Ports"
                                     << "COM1"
                                     << "C:\\dir\\";
        QTest::newRow("General is the top level") << "General"
                                                  << "SendCR"
                                                  << "1";
        QTest::newRow("escaped names") << "My Section"
                                       << "a key/\u00e9"
                                       << "v";
    }
    void valuesReadAndWriteAsQSettingsDoes() {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        const QString path = section == u"General" ? key : section + u'/' + key;
        {
            QSettings written(env.settingsFile(), QSettings::IniFormat);
            written.setValue(path, value);
        }
        QCOMPARE(get(section, key, QStringLiteral("absent")), value);

        QFile::remove(env.settingsFile());
        SettingsStore::SaveSetting(app, section, key, value);
        QSettings read(env.settingsFile(), QSettings::IniFormat);
        QCOMPARE(read.value(path).toString(), value);
    }

    void aSaveChangesOnlyWhatItWrites_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("comments, blank lines, Latin-1 kept")
            << QByteArray("; my boards\n[Ports]\nCOM1=/dev/ttyUSB0 ; the blue one\n\n"
                          "[Outputs]\nOutput2=AT\xe9\n")
            << "COM"
            << "Port"
            << "2"
            << QByteArray("; my boards\n[Ports]\nCOM1=/dev/ttyUSB0 ; the blue one\n\n"
                          "[Outputs]\nOutput2=AT\xe9\n\n[COM]\nPort=2\n");
        QTest::newRow("only the value of a line")
            << QByteArray("[COM]\nPort = 1 ; mine\nSettings=9600,n,8,1\n") << "COM"
            << "Port"
            << "3" << QByteArray("[COM]\nPort = 3 ; mine\nSettings=9600,n,8,1\n");
        QTest::newRow("after the section's last key, CR LF kept")
            << QByteArray("[General]\r\nSendCR=0\r\n\r\n[COM]\r\nPort=1\r\n") << "General"
            << "SendLF"
            << "1" << QByteArray("[General]\r\nSendCR=0\r\nSendLF=1\r\n\r\n[COM]\r\nPort=1\r\n");
        QTest::newRow("no line break at the end")
            << QByteArray("[COM]\nPort=1") << "COM"
            << "Settings"
            << "19200,e,7,1" << QByteArray("[COM]\nPort=1\nSettings=\"19200,e,7,1\"\n");
        QTest::newRow("same value, nothing written")
            << QByteArray("[COM]\nSettings=9600,n,8,1\n#  note\n") << "COM"
            << "Settings"
            << "9600,n,8,1" << QByteArray("[COM]\nSettings=9600,n,8,1\n#  note\n");
    }
    void aSaveChangesOnlyWhatItWrites() {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        env.writeSettingsFile(before);
        struct stat old {};
        ::stat(QFile::encodeName(env.settingsFile()).constData(), &old);
        SettingsStore::SaveSetting(app, section, key, value);
        QCOMPARE(env.readSettingsFile(), after);
        QCOMPARE(get(section, key), value);
        struct stat now {};
        ::stat(QFile::encodeName(env.settingsFile()).constData(), &now);
        QCOMPARE(now.st_ino == old.st_ino, before == after); // replaced only when changed
    }

    void aFileOfNoSettingsIsKeptBesideIt_data() {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("earlierCopy"); // a copy from an earlier mishap is there
        QTest::addColumn<QString>("copy");     // the copy's name, empty for none
        const QByteArray binary("\x7f"
                                "ELF\x02\x01\x01\0\0\0[COM]\nPort=9\n",
                                22);
        QTest::newRow("binary") << binary << false << "Brovik.ini.unreadable";
        QTest::newRow("text without one setting")
            << QByteArray("{\n  \"name\": \"other program\"\n}\n") << false
            << "Brovik.ini.unreadable";
        QTest::newRow("an earlier copy is kept too") << binary << true << "Brovik.ini.unreadable.2";
        QTest::newRow("settings with a stray line")
            << QByteArray("[COM]\nPort=1\nstray words\n") << false << "";
    }
    void aFileOfNoSettingsIsKeptBesideIt() {
        QFETCH(QByteArray, contents);
        QFETCH(bool, earlierCopy);
        QFETCH(QString, copy);
        env.writeSettingsFile(contents);
        const QString folder = QFileInfo(env.settingsFile()).absolutePath() + u'/';
        if (earlierCopy) {
            QFile earlier(folder + QStringLiteral("Brovik.ini.unreadable"));
            QVERIFY(earlier.open(QIODevice::WriteOnly));
            earlier.write("earlier");
        }
        const QString note = SettingsStore::SaveSettings(app, {{"COM", "Port", "2"}});
        QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Port")), QStringLiteral("2"));
        if (copy.isEmpty()) {
            QCOMPARE(note, QString());
            QVERIFY(env.readSettingsFile().contains("stray words"));
            QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"Brovik.ini"});
            return;
        }
        QVERIFY2(note.contains(folder + copy), qPrintable(note));
        QCOMPARE(bytesOf(folder + copy), contents);
        QCOMPARE(modeOf(folder + copy), QStringLiteral("600"));
        if (earlierCopy)
            QCOMPARE(bytesOf(folder + QStringLiteral("Brovik.ini.unreadable")), "earlier");
        // Once saved, the file holds settings: no second copy.
        QCOMPARE(SettingsStore::SaveSettings(app, {{"COM", "Port", "3"}}), QString());
    }

    void aFullDiskLeavesTheFileAsItWas_data() {
        QTest::addColumn<int>("outputSize"); // bytes of a long stored output
        QTest::addColumn<bool>("fits");
        QTest::newRow("100 KB file, 8 KiB free") << 100000 << false;
        QTest::newRow("2 KB file, 8 KiB free") << 2000 << true;
    }
    void aFullDiskLeavesTheFileAsItWas() {
        QFETCH(int, outputSize);
        QFETCH(bool, fits);
        SmallDisk disk("160k");
        if (!disk.mounted())
            QSKIP("mounting a small tmpfs is not permitted here");
        ConfigHome home(disk.path());
        env.writeSettingsFile("[COM]\nPort=1\n[Outputs]\nOutput1=" + QByteArray(outputSize, 'x') +
                              "\n[Ports]\nCOM1=/dev/ttyUSB0\n");
        const QByteArray before = env.readSettingsFile();
        struct statvfs fs {};
        QCOMPARE(::statvfs(QFile::encodeName(disk.path()).constData(), &fs), 0);
        {
            QFile filler(disk.path() + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly));
            QVERIFY(filler.write(QByteArray(qint64(fs.f_bavail * fs.f_bsize) - 8192, 'f')) > 0);
        }
        try {
            SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                       QStringLiteral("2"));
            QVERIFY2(fits, "a save that could not fit reported success");
            QCOMPARE(get(QStringLiteral("Ports"), QStringLiteral("COM1")),
                     QStringLiteral("/dev/ttyUSB0"));
            QCOMPARE(get(QStringLiteral("COM"), QStringLiteral("Port")), QStringLiteral("2"));
        } catch (const Failure& f) {
            QVERIFY2(!fits, qPrintable(f.description()));
            QVERIFY2(f.description().contains(QStringLiteral("disk full")) &&
                         f.description().contains(env.settingsFile()),
                     qPrintable(f.description()));
            QCOMPARE(env.readSettingsFile(), before);
        }
        QCOMPARE(QDir(QFileInfo(env.settingsFile()).absolutePath())
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Brovik.ini"}); // no temporary file left behind
    }

    void aFifoSwappedInNeverBlocksAndCostsNoKey() {
        // Another process swaps a FIFO and the settings file back and forth
        // while the store reads and saves: nothing blocks, and every regular
        // file that ends up in either place still holds the user's key.
        env.writeSettingsFile("[Outputs]\nOutput1=kept\n");
        const QByteArray file = QFile::encodeName(env.settingsFile());
        const QByteArray fifo = file + ".fifo";
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        std::atomic<bool> done = false;
        std::thread swapper([&] {
            while (!done)
                ::renameat2(AT_FDCWD, file.constData(), AT_FDCWD, fifo.constData(),
                            RENAME_EXCHANGE);
        });
        for (int round = 0; round < 300; ++round) {
            try {
                if (get(QStringLiteral("Outputs"), QStringLiteral("Output1")) != u"kept")
                    throw Failure(QStringLiteral("the user's output was not read"));
                SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                           QString::number(round % 9 + 1));
            } catch (const Failure& f) {
                if (!f.description().contains(QStringLiteral("FIFO")) &&
                    !f.description().contains(QStringLiteral("was replaced"))) {
                    done = true;
                    swapper.join();
                    QFAIL(qPrintable(f.description()));
                }
            }
        }
        done = true;
        swapper.join();
        int regular = 0;
        for (const QByteArray& name : {file, fifo}) {
            struct stat st {};
            if (::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode)) {
                ++regular;
                QVERIFY(bytesOf(QFile::decodeName(name)).contains("Output1=kept"));
            }
        }
        QVERIFY(regular >= 1);
        QFile::remove(QFile::decodeName(fifo));
    }

    void aLinkIsFollowedOnlyWhenItsOwnerIsTheUserOrRoot_data() {
        QTest::addColumn<int>("strangerAt"); // which link of a chain of two another user owns
        QTest::newRow("the link in the settings folder") << 0;
        QTest::newRow("the link it leads to") << 1;
    }
    void aLinkIsFollowedOnlyWhenItsOwnerIsTheUserOrRoot() {
        QFETCH(int, strangerAt);
        if (::geteuid() != 0)
            QSKIP("giving a link to another user needs root");
        QTemporaryDir elsewhere;
        const QString target = elsewhere.filePath(QStringLiteral("real.ini"));
        const QString middle = elsewhere.filePath(QStringLiteral("middle.ini"));
        QFile t(target);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("[COM]\nPort=4\n");
        t.close();
        QVERIFY(QDir().mkpath(QFileInfo(env.settingsFile()).absolutePath()));
        QVERIFY(QFile::link(target, middle));
        QVERIFY(QFile::link(middle, env.settingsFile()));
        const QString stranger = strangerAt == 0 ? env.settingsFile() : middle;
        QCOMPARE(::lchown(QFile::encodeName(stranger).constData(), 65534, 65534), 0);
        for (const bool save : {false, true}) {
            try {
                if (save)
                    SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                               QStringLiteral("2"));
                else
                    get(QStringLiteral("COM"), QStringLiteral("Port"));
                QFAIL("another user's link was followed");
            } catch (const Failure& f) {
                QVERIFY2(f.description().contains(QStringLiteral("owned by another user")),
                         qPrintable(f.description()));
            }
        }
        QCOMPARE(bytesOf(target), QByteArray("[COM]\nPort=4\n"));
        QVERIFY(QFileInfo(env.settingsFile()).isSymLink());
    }

    void theFolderIsTheUsersAloneWhateverTheUmask_data() {
        QTest::addColumn<int>("mask");
        QTest::addColumn<bool>("deeper"); // the configuration folder is missing too
        QTest::newRow("umask 000") << 0000 << false;
        QTest::newRow("umask 022, folders missing") << 0022 << true;
        QTest::newRow("umask 777") << 0777 << false;
    }
    void theFolderIsTheUsersAloneWhateverTheUmask() {
        QFETCH(int, mask);
        QFETCH(bool, deeper);
        QTemporaryDir base;
        ConfigHome home(deeper ? base.filePath(QStringLiteral("a/config")) : env.configHome());
        const mode_t old = ::umask(mode_t(mask));
        try {
            SettingsStore::SaveSetting(app, QStringLiteral("COM"), QStringLiteral("Port"),
                                       QStringLiteral("2"));
        } catch (...) {
            ::umask(old);
            throw;
        }
        ::umask(old);
        const QString folder = QFileInfo(env.settingsFile()).absolutePath();
        QCOMPARE(modeOf(folder), QStringLiteral("700"));
        QCOMPARE(modeOf(env.settingsFile()), QStringLiteral("600"));
        if (deeper)
            QCOMPARE(modeOf(base.filePath(QStringLiteral("a"))), QStringLiteral("700"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "test_settingsstore.moc"
