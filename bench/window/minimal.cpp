// SPDX-License-Identifier: GPL-3.0-or-later
// bench-window-minimal: the baseline of the start-up and idle benchmarks, a
// minimal Qt Widgets window built like Brovik. Speaks as bench-window-app.

#include "benchkit.h"
#include "shown.h"

#include <QApplication>
#include <QLabel>

namespace {

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    const double idle = bench::idleSeconds(argc, argv);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    auto* label = new QLabel(QStringLiteral("Hello"), &window);
    label->setGeometry(10, 10, 300, 30);
    window.resize(320, 200);
    bench::ShownWatch watch(&window, [&] {
        bench::printReport("shown", {{"at", bench::now()}});
        if (idle < 0) {
            QCoreApplication::quit();
            return;
        }
        QTimer::singleShot(static_cast<int>(idle * 1000), &window, [] {
            bench::printReport("report",
                               {{"peak_mib", bench::peakRssMiB()}, {"rss_mib", bench::rssMiB()}});
            QCoreApplication::quit();
        });
    });
    window.show();
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
