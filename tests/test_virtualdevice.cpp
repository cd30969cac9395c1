// SPDX-License-Identifier: GPL-3.0-or-later
// brovik-virtual-device: its device logic directly, and the real program
// through the pseudo-terminal it offers, opened the way a serial terminal does.

#include "modem.h"
#include "options.h"
#include "streamtext.h"
#include "tokenbucket.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

const QByteArray identityAnswer = "Brovik virtual device " BROVIK_VERSION "\r\nOK\r\n";

// The tool running in one mode, with its slave side opened as a raw serial port.
class RunningDevice {
public:
    explicit RunningDevice(const QStringList& args) {
        m_process.start(QStringLiteral(VIRTUAL_DEVICE_PATH), args);
        if (!m_process.waitForStarted(5000))
            return;
        QElapsedTimer t;
        t.start();
        while (!m_process.canReadLine() && t.elapsed() < 5000)
            m_process.waitForReadyRead(100);
        m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
        open();
    }
    ~RunningDevice() {
        close();
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool isOpen() const { return m_fd >= 0; }
    QString path() const { return m_path; }
    QProcess& process() { return m_process; }

    void open() {
        m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_fd < 0)
            return;
        termios t{};
        ::tcgetattr(m_fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(m_fd, TCSANOW, &t);
    }
    void close() {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    void write(const QByteArray& bytes) {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
            if (n > 0) {
                done += n;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                return;
            } else {
                pollfd p{m_fd, POLLOUT, 0};
                ::poll(&p, 1, 100);
            }
        }
    }

    // What arrives within `ms`; stops early once `atLeast` bytes are in.
    // Returns early too when the device goes away.
    QByteArray read(int ms, qsizetype atLeast = -1) {
        QByteArray out;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < ms && (atLeast < 0 || out.size() < atLeast)) {
            pollfd p{m_fd, POLLIN, 0};
            ::poll(&p, 1, 20);
            char buf[65536];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0)
                out.append(buf, n);
            else if (n == 0 || (errno != EAGAIN && errno != EINTR))
                break; // hung up
        }
        return out;
    }

    // As much as the port takes now.
    qsizetype writeSome(const QByteArray& bytes) {
        const ssize_t n = ::write(m_fd, bytes.constData(), bytes.size());
        return n > 0 ? n : 0;
    }

    QByteArray ask(const QByteArray& line, qsizetype answerLength) {
        write(line);
        return read(3000, answerLength);
    }

private:
    QProcess m_process;
    QString m_path;
    int m_fd = -1;
};

Options parse(const QStringList& args, std::string* error = nullptr) {
    std::vector<std::string> v;
    for (const QString& a : args)
        v.push_back(a.toStdString());
    ParsedOptions p = parseOptions(v);
    if (error)
        *error = p.error;
    return p.options;
}

} // namespace

class TestVirtualDevice : public QObject {
    Q_OBJECT

private slots:
    void modemAnswers_data();
    void modemAnswers();
    void modemOverlongLine();
    void streamText();
    void streamTextWithoutNewlines();
    void streamCounterWraps();
    void tokenBucket();
    void goodOptions_data();
    void goodOptions();
    void badOptions_data();
    void badOptions();

    void modemOverPty();
    void modemSurvivesReopen();
    void echoEveryByte();
    void echoBulkWithoutLoss();
    void streamRate();
    void streamWithoutNewlinesLosesNothing();
    void streamFasterThanTheReaderKeepsMemorySmall();
    void stopsCleanlyOnSignal_data();
    void stopsCleanlyOnSignal();
    void help();
    void badArgumentsExit2_data();
    void badArgumentsExit2();
};

void TestVirtualDevice::modemAnswers_data() {
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QByteArray>("answers");

    QTest::newRow("AT CR") << QByteArrayList{"AT\r"} << QByteArray("OK\r\n");
    QTest::newRow("LF after CR ignored") << QByteArrayList{"AT\r\n"} << QByteArray("OK\r\n");
    QTest::newRow("LF alone") << QByteArrayList{"ATZ\n"} << QByteArray("OK\r\n");
    QTest::newRow("lower case, spaces") << QByteArrayList{"  atz \t\r"} << QByteArray("OK\r\n");
    QTest::newRow("mixed case") << QByteArrayList{"aT\r"} << QByteArray("OK\r\n");
    QTest::newRow("ATI") << QByteArrayList{"ati\r"} << identityAnswer;
    QTest::newRow("garbage") << QByteArrayList{"hello\r"} << QByteArray("ERROR\r\n");
    QTest::newRow("space inside") << QByteArrayList{"AT Z\r"} << QByteArray("ERROR\r\n");
    QTest::newRow("ATZ with more") << QByteArrayList{"ATZ0\r"} << QByteArray("ERROR\r\n");
    QTest::newRow("NUL byte") << QByteArrayList{QByteArray("AT\0\r", 4)} << QByteArray("ERROR\r\n");
    QTest::newRow("empty lines") << QByteArrayList{"\r\n\r\n\r\r\n   \r"} << QByteArray();
    QTest::newRow("two LFs end two lines")
        << QByteArrayList{"AT\n\nAT\n"} << QByteArray("OK\r\nOK\r\n");
    QTest::newRow("no line end yet") << QByteArrayList{"AT"} << QByteArray();
    QTest::newRow("split command") << QByteArrayList{"A", "T", "I", "\r"} << identityAnswer;
    QTest::newRow("CR LF split") << QByteArrayList{"AT\r", "\nATZ\r", "\n"}
                                 << QByteArray("OK\r\nOK\r\n");
    QTest::newRow("LF not after CR")
        << QByteArrayList{"AT\rx", "\n"} << QByteArray("OK\r\nERROR\r\n");
    QTest::newRow("several in one piece")
        << QByteArrayList{"AT\rATI\r\nnope\nATZ\r"}
        << QByteArray("OK\r\n" + identityAnswer + "ERROR\r\nOK\r\n");
}

void TestVirtualDevice::modemAnswers() {
    QFETCH(QByteArrayList, pieces);
    QFETCH(QByteArray, answers);
    Modem modem;
    std::string out;
    for (const QByteArray& p : pieces)
        out += modem.feed(std::string_view(p.constData(), p.size()));
    QCOMPARE(QByteArray::fromStdString(out), answers);
}

void TestVirtualDevice::modemOverlongLine() {
    Modem modem;
    // Starts with a good command, so only the length can make it wrong.
    const std::string longLine = "AT" + std::string(Modem::maxLineLength * 3, ' ');
    QCOMPARE(modem.feed(longLine + "\r"), std::string("ERROR\r\n"));
    QCOMPARE(modem.feed("AT\r"), std::string("OK\r\n"));
}

void TestVirtualDevice::streamText() {
    StreamText text;
    QCOMPARE(text.lineLength(), std::size_t(50));
    std::string whole;
    text.take(50 * 3, whole);
    QCOMPARE(QByteArray::fromStdString(whole),
             QByteArray("line 000000 abcdefghijklmnopqrstuvwxyz0123456789\r\n"
                        "line 000001 abcdefghijklmnopqrstuvwxyz0123456789\r\n"
                        "line 000002 abcdefghijklmnopqrstuvwxyz0123456789\r\n"));

    // Any split gives the same text.
    StreamText pieces;
    std::string joined;
    for (std::size_t n : {1, 7, 49, 0, 50, 43})
        pieces.take(n, joined);
    QCOMPARE(joined, whole);
}

void TestVirtualDevice::streamTextWithoutNewlines() {
    StreamText text(false);
    QCOMPARE(text.lineLength(), std::size_t(48));
    std::string out;
    text.take(48 * 2 + 5, out);
    QCOMPARE(QByteArray::fromStdString(out),
             QByteArray("line 000000 abcdefghijklmnopqrstuvwxyz0123456789"
                        "line 000001 abcdefghijklmnopqrstuvwxyz0123456789"
                        "line "));
}

void TestVirtualDevice::streamCounterWraps() {
    StreamText text;
    std::string skipped;
    for (std::size_t left = 50 * (StreamText::counterLimit - 1); left > 0;) {
        const std::size_t n = std::min<std::size_t>(left, 1000000);
        skipped.clear();
        text.take(n, skipped);
        left -= n;
    }
    std::string out;
    text.take(100, out);
    QCOMPARE(QByteArray::fromStdString(out),
             QByteArray("line 999999 abcdefghijklmnopqrstuvwxyz0123456789\r\n"
                        "line 000000 abcdefghijklmnopqrstuvwxyz0123456789\r\n"));
}

void TestVirtualDevice::tokenBucket() {
    const TokenBucket::Clock::time_point t0{};
    TokenBucket bucket(1000, 250, t0);
    QCOMPARE(bucket.available(), std::size_t(0));
    QVERIFY(bucket.timeUntil(50) >= 50ms && bucket.timeUntil(50) < 51ms);

    bucket.refill(t0 + 100ms);
    QCOMPARE(bucket.available(), std::size_t(100));
    bucket.spend(60);
    QCOMPARE(bucket.available(), std::size_t(40));
    QCOMPARE(bucket.timeUntil(40), TokenBucket::Clock::duration::zero());
    QVERIFY(bucket.timeUntil(50) >= 10ms && bucket.timeUntil(50) < 11ms);

    // Fractions are kept: three steps of 1.5 ms give 4 bytes, not 3.
    bucket.spend(40);
    for (int i = 1; i <= 3; ++i)
        bucket.refill(t0 + 100ms + i * 1500us);
    QCOMPARE(bucket.available(), std::size_t(4));

    // A clock going backwards earns nothing; a long pause earns at most the capacity.
    bucket.refill(t0);
    QCOMPARE(bucket.available(), std::size_t(4));
    bucket.refill(t0 + 60s);
    QCOMPARE(bucket.available(), std::size_t(250));
}

void TestVirtualDevice::goodOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("mode");
    QTest::addColumn<qulonglong>("rate");
    QTest::addColumn<bool>("newlines");
    QTest::addColumn<double>("seconds"); // 0: none

    const int modem = int(DeviceMode::Modem), echo = int(DeviceMode::Echo),
              stream = int(DeviceMode::Stream);
    QTest::newRow("none") << QStringList() << modem << 0ull << true << 0.0;
    QTest::newRow("modem") << QStringList{"--modem", "--seconds", "2.5"} << modem << 0ull << true
                           << 2.5;
    QTest::newRow("echo") << QStringList{"--echo"} << echo << 0ull << true << 0.0;
    QTest::newRow("stream") << QStringList{"--stream", "20000"} << stream << 20000ull << true
                            << 0.0;
    QTest::newRow("stream=, options after")
        << QStringList{"--seconds=3", "--stream=1000000000", "--no-newlines"} << stream
        << 1000000000ull << false << 3.0;
    QTest::newRow("no-newlines first")
        << QStringList{"--no-newlines", "--stream", "1"} << stream << 1ull << false << 0.0;
}

void TestVirtualDevice::goodOptions() {
    QFETCH(QStringList, args);
    QFETCH(int, mode);
    QFETCH(qulonglong, rate);
    QFETCH(bool, newlines);
    QFETCH(double, seconds);
    std::string error;
    const Options o = parse(args, &error);
    QCOMPARE(QString::fromStdString(error), QString());
    QCOMPARE(int(o.mode), mode);
    QCOMPARE(qulonglong(o.rate), rate);
    QCOMPARE(o.newlines, newlines);
    QCOMPARE(o.seconds.value_or(0.0), seconds);
    QVERIFY(!o.help);
}

void TestVirtualDevice::badOptions_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message"); // a part of the error

    QTest::newRow("unknown") << QStringList{"--baud", "9600"} << "unknown option --baud";
    QTest::newRow("positional") << QStringList{"/dev/ttyS0"} << "unexpected argument";
    QTest::newRow("no rate") << QStringList{"--stream"} << "--stream needs a value";
    QTest::newRow("zero rate") << QStringList{"--stream", "0"} << "bad rate '0'";
    QTest::newRow("rate with text") << QStringList{"--stream", "20k"} << "bad rate '20k'";
    QTest::newRow("negative rate") << QStringList{"--stream=-5"} << "bad rate '-5'";
    QTest::newRow("rate too big") << QStringList{"--stream", "1000000001"} << "bad rate";
    QTest::newRow("two modes") << QStringList{"--echo", "--stream", "5"} << "only one";
    QTest::newRow("no-newlines alone") << QStringList{"--no-newlines"} << "--no-newlines";
    QTest::newRow("zero seconds") << QStringList{"--seconds", "0"} << "bad time '0'";
    QTest::newRow("seconds not a number") << QStringList{"--seconds", "soon"} << "bad time";
    QTest::newRow("value on a flag") << QStringList{"--echo=1"} << "takes no value";
}

void TestVirtualDevice::badOptions() {
    QFETCH(QStringList, args);
    QFETCH(QString, message);
    std::string error;
    parse(args, &error);
    QVERIFY2(QString::fromStdString(error).contains(message), error.c_str());
}

void TestVirtualDevice::modemOverPty() {
    RunningDevice dev({});
    QVERIFY2(dev.isOpen(), qPrintable("cannot open " + dev.path()));
    QVERIFY(dev.path().startsWith("/dev/"));

    QCOMPARE(dev.ask("AT\r", 4), QByteArray("OK\r\n"));
    QCOMPARE(dev.ask("atz\r\n", 4), QByteArray("OK\r\n"));
    QCOMPARE(dev.ask("ATI\r", identityAnswer.size()), identityAnswer);
    QCOMPARE(dev.ask("xyzzy\n", 7), QByteArray("ERROR\r\n"));

    // A line typed in pieces is answered once it is complete, and only then.
    dev.write("A");
    QCOMPARE(dev.read(200), QByteArray());
    dev.write("T");
    QCOMPARE(dev.read(200), QByteArray());
    QCOMPARE(dev.ask("Z\r", 4), QByteArray("OK\r\n"));
    // The LF that ends this CR LF comes in a later write and must not count as an empty line.
    QCOMPARE(dev.ask("\nAT\r\n", 4), QByteArray("OK\r\n"));
    QCOMPARE(dev.read(200), QByteArray());
}

void TestVirtualDevice::modemSurvivesReopen() {
    RunningDevice dev({});
    QVERIFY(dev.isOpen());
    QCOMPARE(dev.ask("AT\r", 4), QByteArray("OK\r\n"));
    dev.close();
    QTest::qWait(100);
    QCOMPARE(dev.process().state(), QProcess::Running);
    dev.open();
    QVERIFY(dev.isOpen());
    QCOMPARE(dev.ask("ATZ\r", 4), QByteArray("OK\r\n"));

    // Answers to a command sent just before closing wait for the next opening.
    dev.write("AT\r");
    QTest::qWait(100);
    dev.close();
    dev.open();
    QCOMPARE(dev.read(3000, 4), QByteArray("OK\r\n"));
}

void TestVirtualDevice::echoEveryByte() {
    RunningDevice dev({"--echo"});
    QVERIFY(dev.isOpen());
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    dev.write(all);
    QCOMPARE(dev.read(3000, all.size()), all);
    // Backwards too, so order inside the pseudo-terminal's processing shows.
    std::reverse(all.begin(), all.end());
    dev.write(all);
    QCOMPARE(dev.read(3000, all.size()), all);
}

void TestVirtualDevice::echoBulkWithoutLoss() {
    RunningDevice dev({"--echo"});
    QVERIFY(dev.isOpen());
    // Far more than the pseudo-terminal buffers, so the device meets full
    // buffers and partial writes.
    QByteArray data;
    for (int i = 0; i < 1024 * 1024; ++i)
        data.append(char((i * 7 + i / 256) & 0xff));

    QByteArray back;
    qsizetype sent = 0;
    QElapsedTimer t;
    t.start();
    while (back.size() < data.size() && t.elapsed() < 30000) {
        sent += dev.writeSome(data.mid(sent, 65536));
        back += dev.read(5);
    }
    QCOMPARE(back.size(), data.size());
    QVERIFY(back == data);
}

void TestVirtualDevice::streamRate() {
    const int rate = 20000;
    RunningDevice dev({"--stream", QString::number(rate)});
    QVERIFY(dev.isOpen());
    // What queued before the port opened and the bucket's catch-up come first.
    QByteArray data = dev.read(500);
    QElapsedTimer t;
    t.start();
    qsizetype counted = 0;
    while (t.elapsed() < 5000) {
        const QByteArray piece = dev.read(50);
        counted += piece.size();
        data += piece;
    }
    const double measured = counted * 1000.0 / double(t.elapsed());
    QVERIFY2(qAbs(measured - rate) <= rate * 0.10,
             qPrintable(QStringLiteral("%1 bytes/s").arg(measured)));

    // Whole numbered lines in order.
    const QList<QByteArray> lines = data.split('\n');
    QVERIFY(lines.size() > 100);
    const QRegularExpression format("^line (\\d{6}) abcdefghijklmnopqrstuvwxyz0123456789\r$");
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const auto m = format.match(QString::fromLatin1(lines[i]));
        QVERIFY2(m.hasMatch(), lines[i].constData());
        QCOMPARE(m.captured(1).toInt(), int(i));
    }
}

void TestVirtualDevice::streamWithoutNewlinesLosesNothing() {
    RunningDevice dev({"--stream", "20000", "--no-newlines", "--seconds", "1"});
    QVERIFY(dev.isOpen());
    // Read until the device ends by itself and hangs up.
    const QByteArray data = dev.read(10000);
    QVERIFY(dev.process().waitForFinished(5000));
    QCOMPARE(dev.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(dev.process().exitCode(), 0);

    QVERIFY(!data.contains('\r'));
    QVERIFY(!data.contains('\n'));
    QVERIFY(data.startsWith("line 000000 abcdefghijklmnopqrstuvwxyz0123456789line 000001 "));
    const QByteArray report = dev.process().readAllStandardError().trimmed();
    QCOMPARE(report, "sent " + QByteArray::number(data.size()) + " bytes");
    QVERIFY(qAbs(data.size() - 20000) <= 2000);
}

void TestVirtualDevice::streamFasterThanTheReaderKeepsMemorySmall() {
    // No pseudo-terminal takes a gigabyte a second, so the device always has
    // credit left over whenever its queue empties.
    RunningDevice dev({"--stream", "1000000000"});
    QVERIFY(dev.isOpen());
    QVERIFY(dev.read(1500).size() > 0);
    QFile status(QStringLiteral("/proc/%1/status").arg(dev.process().processId()));
    QVERIFY(status.open(QIODevice::ReadOnly | QIODevice::Text));
    const auto m = QRegularExpression("VmHWM:\\s*(\\d+) kB").match(status.readAll());
    QVERIFY(m.hasMatch());
    const qlonglong peakKiB = m.captured(1).toLongLong();
    QVERIFY2(peakKiB < 64 * 1024, qPrintable(QStringLiteral("peak %1 KiB").arg(peakKiB)));
}

void TestVirtualDevice::stopsCleanlyOnSignal_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("signal");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<bool>("reportsBytes");

    QTest::newRow("modem, SIGTERM") << QStringList() << int(SIGTERM) << true << false;
    QTest::newRow("echo, SIGINT") << QStringList{"--echo"} << int(SIGINT) << true << false;
    QTest::newRow("stream, SIGINT")
        << QStringList{"--stream", "1000"} << int(SIGINT) << true << true;
    // Nobody reads this one, so it ends with its pseudo-terminal full.
    QTest::newRow("stream unread, SIGTERM")
        << QStringList{"--stream", "100000000"} << int(SIGTERM) << false << true;
}

void TestVirtualDevice::stopsCleanlyOnSignal() {
    QFETCH(QStringList, args);
    QFETCH(int, signal);
    QFETCH(bool, reading);
    QFETCH(bool, reportsBytes);
    RunningDevice dev(args);
    QVERIFY(dev.isOpen());
    if (reading)
        dev.read(300);
    else
        dev.close();
    QTest::qWait(300);
    QCOMPARE(dev.process().state(), QProcess::Running);
    ::kill(pid_t(dev.process().processId()), signal);
    QVERIFY(dev.process().waitForFinished(5000));
    QCOMPARE(dev.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(dev.process().exitCode(), 0);
    const QString err = QString::fromLocal8Bit(dev.process().readAllStandardError());
    if (reportsBytes)
        QVERIFY2(QRegularExpression("^sent [1-9]\\d* bytes\n$").match(err).hasMatch(),
                 qPrintable(err));
    else
        QCOMPARE(err, QString());
}

void TestVirtualDevice::help() {
    for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
        QProcess p;
        p.start(QStringLiteral(VIRTUAL_DEVICE_PATH), {"--stream", "5", flag});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 0);
        const QString text = QString::fromLocal8Bit(p.readAllStandardOutput());
        for (const char* word :
             {"--echo", "--stream RATE", "--no-newlines", "--seconds", "no baud rate", "ATI"})
            QVERIFY2(text.contains(QLatin1String(word)), word);
    }
}

void TestVirtualDevice::badArgumentsExit2_data() {
    QTest::addColumn<QStringList>("args");
    QTest::newRow("unknown option") << QStringList{"--baud=9600"};
    QTest::newRow("bad rate") << QStringList{"--stream", "fast"};
    QTest::newRow("missing rate") << QStringList{"--stream"};
    QTest::newRow("two modes") << QStringList{"--echo", "--modem"};
}

void TestVirtualDevice::badArgumentsExit2() {
    QFETCH(QStringList, args);
    QProcess p;
    p.start(QStringLiteral(VIRTUAL_DEVICE_PATH), args);
    QVERIFY(p.waitForFinished(5000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 2);
    // No device was made, so no path for a script to pick up.
    QCOMPARE(p.readAllStandardOutput(), QByteArray());
    const QString err = QString::fromLocal8Bit(p.readAllStandardError());
    QVERIFY(err.startsWith("brovik-virtual-device: "));
    QVERIFY(err.contains("--help"));
}

QTEST_APPLESS_MAIN(TestVirtualDevice)
#include "test_virtualdevice.moc"
