// SPDX-License-Identifier: GPL-3.0-or-later
// bench-logappend: the cost of one activity-log append (a typical 50-character
// received line) when the log holds about 1,000 entries, against when
// 1,000,000 have been appended and the log's capacity keeps only the newest.

#include "appkit.h"
#include "benchkit.h"
#include "ui/formmain.h"

#include <QApplication>
#include <QWindow>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

QString receivedLine(long n) {
    // "line 000123 abcdefghijklmnopqrstuvwxyz0123456789" CR LF: 50 characters.
    return QString::asprintf("line %06ld abcdefghijklmnopqrstuvwxyz0123456789\r\n", n % 1000000);
}

class Log {
public:
    Log() {
        m_w.show();
        while (!m_w.windowHandle() || !m_w.windowHandle()->isExposed())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    long appended() const { return m_appended; }
    qint64 counted() const { return m_w.loggedCharacters(LogCategory::Received); }

    void fillTo(long count) {
        while (m_appended < count) {
            m_w.updateLog(receivedLine(m_appended++), LogCategory::Received);
            if (m_appended % 1000 == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
    }

    // One append, then the event-loop turn that paints it.
    void sample() {
        const QString line = receivedLine(m_appended++);
        const double t0 = bench::now();
        m_w.updateLog(line, LogCategory::Received);
        const double t1 = bench::now();
        QCoreApplication::processEvents();
        const double t2 = bench::now();
        m_append.push_back(t1 - t0);
        m_withEventLoop.push_back(t2 - t0);
    }
    double append() const { return bench::median(m_append); }
    double withEventLoop() const { return bench::median(m_withEventLoop); }

private:
    FormMain m_w;
    long m_appended = 0;
    std::vector<double> m_append;
    std::vector<double> m_withEventLoop;
};

int run(int argc, char** argv) {
    const bench::Options options = bench::parseOptions(
        argc, argv, "Log append: one entry's cost with 1,000 entries against 1,000,000 appended.");
    const long small = options.quick ? 100 : 1000;
    const long large = options.quick ? 3000 : 1000000;
    const int samples = options.quick ? 50 : 1000;

    bench::TempDir home;
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    QApplication app(argc, argv);
    bench::setUpLikeBrovik();

    // Two windows side by side, sampled in turns, so that whatever else the
    // machine does slows both alike.
    Log many;
    const double fillStart = bench::now();
    many.fillTo(large);
    std::fprintf(stderr, "bench-logappend: %ld entries appended in %.1f s\n", many.appended(),
                 bench::now() - fillStart);
    const double manyFill = (bench::now() - fillStart) / double(large);
    Log few;
    const double fewStart = bench::now();
    few.fillTo(small);
    const double fewFill = (bench::now() - fewStart) / double(small);
    for (int i = 0; i < samples; ++i) {
        Log& first = i % 2 ? many : few;
        Log& second = i % 2 ? few : many;
        first.sample();
        second.sample();
    }

    const bool counted =
        many.counted() == many.appended() * 50 && few.counted() == few.appended() * 50;
    const std::string name = "log append, one 50-character line: ";
    const std::string sizes =
        " (µs, " + std::to_string(large) + " appended; baseline " + std::to_string(small) + ")";
    bench::printRow({name + "updateLog" + sizes, bench::fixed(many.append() * 1e6, 1),
                     bench::fixed(few.append() * 1e6, 1),
                     bench::ratioText(many.append(), few.append()), "≤ 2×",
                     bench::yesNo(many.append() <= 2 * few.append())});
    bench::printRow({name + "updateLog and the repaint" + sizes,
                     bench::fixed(many.withEventLoop() * 1e6, 1),
                     bench::fixed(few.withEventLoop() * 1e6, 1),
                     bench::ratioText(many.withEventLoop(), few.withEventLoop()), "-", "-"});
    // The filling appends include every cut back to the capacity.
    bench::printRow({name + "updateLog, average while filling" + sizes,
                     bench::fixed(manyFill * 1e6, 1), bench::fixed(fewFill * 1e6, 1),
                     bench::ratioText(manyFill, fewFill), "-", "-"});
    if (!counted)
        std::fprintf(stderr, "bench-logappend: the log did not count every character\n");
    return counted ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
