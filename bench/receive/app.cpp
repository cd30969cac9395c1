// SPDX-License-Identifier: GPL-3.0-or-later
// bench-receive-app: the real main window receiving on COM1 (mapped by the
// driver through XDG_CONFIG_HOME), measured from inside. Prints "ready" once
// the port is open, then one "report" line when EXPECTED_BYTES have reached
// the log or when told "stop" on stdin, and ends.

#include "appkit.h"
#include "benchkit.h"
#include "ui/formmain.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>

namespace {

// Times the receive ticks: the gap between the starts of two ticks, and how
// long a tick's own work takes.
class TickWatch : public QObject {
public:
    explicit TickWatch(QTimer* timer) { timer->installEventFilter(this); }

    // Connected after the window's own handler, so it runs when the tick's work is done.
    void tickEnded() {
        if (m_start > 0)
            m_longestTick = std::max(m_longestTick, bench::now() - m_start);
    }
    double longestGap() const { return m_longestGap; }
    double longestTick() const { return m_longestTick; }
    int ticks() const { return m_ticks; }
    std::function<void()> onTickStart;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The timer event reaches us before the timer emits timeout.
        if (event->type() == QEvent::Timer) {
            const double t = bench::now();
            if (m_start > 0)
                m_longestGap = std::max(m_longestGap, t - m_start);
            m_start = t;
            ++m_ticks;
            if (onTickStart)
                onTickStart();
        }
        return false;
    }

private:
    double m_start = 0;
    double m_longestGap = 0;
    double m_longestTick = 0;
    int m_ticks = 0;
};

struct Arrival {
    qint64 characters = 0;
    double at = 0;
    double cpu = 0;
};

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    bench::setUpLikeBrovik();
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-receive-app EXPECTED_BYTES\n");
        return 2;
    }
    const qint64 expected = std::atoll(argv[1]);

    FormMain w;
    if (!bench::loadWithPortOpen(w))
        return 1;

    TickWatch watch(w.Timer);
    const double cpuAtStart = bench::cpuSeconds();
    std::optional<Arrival> complete;
    bool reported = false;
    auto report = [&](const Arrival& a) {
        if (reported)
            return;
        reported = true;
        bench::printReport("report", {{"complete", a.characters >= expected ? 1 : 0},
                                      {"arrived", double(a.characters)},
                                      {"done_at", a.at},
                                      {"cpu", a.cpu - cpuAtStart},
                                      {"peak_mib", bench::peakRssMiB()},
                                      {"max_gap_ms", watch.longestGap() * 1000},
                                      {"max_tick_ms", watch.longestTick() * 1000},
                                      {"ticks", double(watch.ticks())},
                                      {"errors", double(w.loggedCharacters(LogCategory::Error))}});
        QCoreApplication::quit();
    };
    auto now = [&] {
        return Arrival{w.loggedCharacters(LogCategory::Received), bench::now(),
                       bench::cpuSeconds()};
    };
    QObject::connect(w.Timer, &QTimer::timeout, &w, [&] {
        watch.tickEnded();
        if (!complete && w.loggedCharacters(LogCategory::Received) >= expected)
            complete = now();
    });
    // Once everything is in, the gap up to the next tick still counts: the
    // last tick may have held the event loop the longest.
    watch.onTickStart = [&] {
        if (complete)
            report(*complete);
    };
    bench::onStdinLines(&w, [&](const std::string& line) {
        if (line == "stop")
            report(complete ? *complete : now());
    });
    bench::printReport("ready", {{"rss_mib", bench::rssMiB()}, {"peak_mib", bench::peakRssMiB()}});
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
