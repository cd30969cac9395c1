// SPDX-License-Identifier: GPL-3.0-or-later
// The probe for present ports (it looks at the device node and never opens it)
// and the order in which unmapped devices take COM numbers.
#include "serial/comportmap.h"
#include "serial/portprobe.h"
#include "serial/serialport.h"
#include "settings/portentries.h"
#include "settings/settingsstore.h"
#include "support/ptydevice.h"
#include "support/testenv.h"

#include <QFile>
#include <QTest>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Counts every open of a path while it lives.
class OpenWatch {
public:
    explicit OpenWatch(const QString& path) {
        m_fd = ::inotify_init1(IN_NONBLOCK);
        if (m_fd >= 0)
            m_wd = ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool watching() const { return m_wd >= 0; }
    int opens() {
        alignas(inotify_event) char buf[4096];
        int n = 0;
        for (;;) {
            const ssize_t len = ::read(m_fd, buf, sizeof buf);
            if (len <= 0)
                return n;
            for (char* p = buf; p < buf + len;) {
                auto* e = reinterpret_cast<inotify_event*>(p);
                n += (e->mask & IN_OPEN) ? 1 : 0;
                p += sizeof(inotify_event) + e->len;
            }
        }
    }

private:
    int m_fd = -1;
    int m_wd = -1;
};

// Whether COMn exists, as the Options dialog asks it.
bool portExists(int n) {
    return portExists(ComPortMap(storedPortEntries().portEntries()), n);
}

} // namespace

class TestPortProbe : public QObject {
    Q_OBJECT
    TestEnv env;

private slots:
    void init() { env.clear(); }

    void aPresentPortExistsWithoutBeingOpened() {
        PtyDevice dev;
        env.mapPort(1, dev.path());
        // The way users name boards: a stable link to the device.
        const QString link = env.configHome() + QStringLiteral("/by-id-board");
        QVERIFY(QFile::link(dev.path(), link));
        env.mapPort(2, link);

        OpenWatch watch(dev.path());
        QVERIFY(watch.watching());
        QVERIFY(portExists(1));
        QVERIFY(portExists(2));
        QCOMPARE(watch.opens(), 0);
    }

    void aPortOpenHereOrElsewhereStillExistsAndKeepsWorking() {
        PtyDevice dev;
        env.mapPort(3, dev.path());
        SerialPort ours(storedPortEntries());
        ours.setCommPort(3);
        ours.setPortOpen(true);
        // A second holder is refused by the lock, as another program would be.
        SerialPort other(storedPortEntries());
        other.setCommPort(3);
        QVERIFY_THROWS_EXCEPTION(std::exception, other.setPortOpen(true));

        OpenWatch watch(dev.path());
        for (int i = 0; i < 3; ++i)
            QVERIFY(portExists(3));
        QCOMPARE(watch.opens(), 0);

        QVERIFY(ours.PortOpen());
        ours.Output(QStringLiteral("ping"));
        QCOMPARE(dev.read(4), QByteArray("ping"));
        dev.write("pong");
        QTRY_COMPARE(ours.InBufferCount(), 4);
        QCOMPARE(ours.Input(), QStringLiteral("pong"));
    }

    void absentPortsDoNotExist() {
        PtyDevice dev;
        const QString file = env.configHome() + QStringLiteral("/plain-file");
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        env.mapPort(1, env.configHome() + QStringLiteral("/unplugged"));
        env.mapPort(2, file);             // not a device
        env.mapPort(3, env.configHome()); // a folder
        env.mapPort(4, dev.path());
        QVERIFY(!portExists(1));
        QVERIFY(!portExists(2));
        QVERIFY(!portExists(3));
        QVERIFY(portExists(4));

        dev.hangUp(); // the pseudo-terminal is gone with its node
        QVERIFY(!portExists(4));

        // Numbers no device can take.
        QVERIFY(!portExists(0));
        QVERIFY(!portExists(-1));
        QVERIFY(!portExists(32767));
    }

    // Unmapped devices take the free COM numbers in this order.
    void onlyComKeysNameADevice_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("number"); // the COM number it names, or 0
        QTest::newRow("as written") << "COM7" << 7;
        QTest::newRow("any case") << "com7" << 7;
        QTest::newRow("two digits") << "Com12" << 12;
        QTest::newRow("leading zero") << "COM07" << 0;
        QTest::newRow("zero") << "COM0" << 0;
        QTest::newRow("no number") << "COM" << 0;
        QTest::newRow("more after it") << "COM7a" << 0;
        QTest::newRow("more before it") << "xCOM7" << 0;
    }
    void onlyComKeysNameADevice() {
        QFETCH(QString, key);
        QFETCH(int, number);
        const QString device = env.configHome() + QStringLiteral("/board");
        SettingsStore::SaveSetting(QStringLiteral("Brovik"), QStringLiteral("Ports"), key, device);
        const std::optional<PortEntries> entries = storedPortEntries().portEntries();
        QVERIFY(entries);
        const PortEntries expected = number > 0 ? PortEntries{{number, device}} : PortEntries();
        QCOMPARE(*entries, expected);
    }

    void usbBoardsAreNumberedBeforeBuiltInPorts_data() {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("a board on a PC with a built-in port")
            << QStringList{"/dev/ttyS0", "/dev/ttyACM0"}
            << QStringList{"/dev/ttyACM0", "/dev/ttyS0"};
        QTest::newRow("ACM before USB before S before the rest")
            << QStringList{"/dev/rfcomm0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyAMA0",
                           "/dev/ttyACM1"}
            << QStringList{"/dev/ttyACM1", "/dev/ttyUSB0", "/dev/ttyS1", "/dev/rfcomm0",
                           "/dev/ttyAMA0"};
        QTest::newRow("numeric within a group")
            << QStringList{"/dev/ttyUSB10", "/dev/ttyS10", "/dev/ttyUSB2", "/dev/ttyS2"}
            << QStringList{"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyS2", "/dev/ttyS10"};
        QTest::newRow("none") << QStringList{} << QStringList{};
    }
    void usbBoardsAreNumberedBeforeBuiltInPorts() {
        QFETCH(QStringList, present);
        QFETCH(QStringList, order);
        QCOMPARE(ComPortMap::numberingOrder(present), order);
    }
};

QTEST_MAIN(TestPortProbe)
#include "test_portprobe.moc"
