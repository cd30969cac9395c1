// SPDX-License-Identifier: GPL-3.0-or-later
// bench-logfeatures-app: the real main window receiving on COM1 with one of
// the log's features on, measured from inside. Modes:
//   flood MODE EXPECTED_BYTES [CAPTURE_FILE]  MODE: plain, capture, window, hex
//   find LINES
// A flood prints "ready" once the port is open, then one "report" line when
// EXPECTED_BYTES have reached the log (or on "stop"), and ends. Find fills
// the log window with LINES lines and reports the time of each search.

#include "appkit.h"
#include "benchkit.h"
#include "ui/findbar.h"
#include "ui/formmain.h"
#include "ui/logcontextmenu.h"
#include "ui/logcontrols.h"
#include "ui/logwindow.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int flood(const std::string& mode, qint64 expected, const QString& captureFile) {
    FormMain w;
    if (!bench::loadWithPortOpen(w))
        return 1;
    if (mode == "capture" && !w.logControls().startCapture(captureFile, false)) {
        std::printf("error cannot capture: %s\n", qPrintable(w.txtLog->toPlainText()));
        return 1;
    }
    if (mode == "window")
        w.logControls().openLogWindow();
    if (mode == "hex")
        w.logControls().actions().receivedAsHex->trigger();
    QCoreApplication::processEvents();

    const double cpuAtStart = bench::cpuSeconds();
    bool reported = false;
    auto report = [&] {
        if (reported)
            return;
        reported = true;
        const qint64 arrived = w.loggedCharacters(LogCategory::Received);
        bench::printReport("report", {{"complete", arrived >= expected ? 1 : 0},
                                      {"arrived", double(arrived)},
                                      {"cpu", bench::cpuSeconds() - cpuAtStart},
                                      {"peak_mib", bench::peakRssMiB()},
                                      {"errors", double(w.loggedCharacters(LogCategory::Error))}});
        QCoreApplication::quit();
    };
    // After the window's own handler: the tick's entries are shown and captured.
    QObject::connect(w.Timer, &QTimer::timeout, &w, [&] {
        if (w.loggedCharacters(LogCategory::Received) >= expected)
            report();
    });
    bench::onStdinLines(&w, [&](const std::string& line) {
        if (line == "stop")
            report();
    });
    bench::printReport("ready", {{"rss_mib", bench::rssMiB()}});
    return QApplication::exec();
}

int find(int lines) {
    FormMain w;
    w.show();
    w.logControls().openLogWindow();
    LogWindow* window = w.logControls().logWindow();
    QString text;
    for (int i = 0; i < lines; ++i)
        text += QStringLiteral("line %1 abcdefghijklmnopqrstuvwxyz0123456789\r\n")
                    .arg(i, 6, 10, QChar(u'0'));
    w.updateLog(text, LogCategory::Received);
    QCoreApplication::processEvents();
    FindBar* bar = window->findBar;
    bar->openBar();
    const QString log = window->txtLogWindow->toPlainText();

    // Each term: a rare one, one in every line, one that is not there.
    const std::vector<std::pair<const char*, QString>> terms = {
        {"rare", QStringLiteral("line 00012")},
        {"every_line", QStringLiteral("WXYZ")},
        {"absent", QStringLiteral("not there")}};
    std::vector<std::pair<std::string, double>> fields;
    for (const auto& [name, term] : terms) {
        std::vector<double> find, plain;
        int matches = 0, counted = 0;
        for (int round = 0; round < 11; ++round) {
            bar->txtFind->clear();
            double t = bench::now();
            bar->txtFind->setText(term); // searches as typed
            bar->findNext();
            find.push_back((bench::now() - t) * 1000);
            matches = bar->matchCount();
            // The baseline: counting the same matches in the same text.
            t = bench::now();
            counted = 0;
            for (qsizetype at = log.indexOf(term, 0, Qt::CaseInsensitive); at >= 0;
                 at = log.indexOf(term, at + term.size(), Qt::CaseInsensitive))
                ++counted;
            plain.push_back((bench::now() - t) * 1000);
        }
        fields.push_back({std::string(name) + "_ms", bench::median(find)});
        fields.push_back({std::string(name) + "_plain_ms", bench::median(plain)});
        fields.push_back({std::string(name) + "_matches", matches});
        fields.push_back({std::string(name) + "_counted", counted});
    }
    fields.push_back({"lines", double(window->txtLogWindow->document()->blockCount() - 1)});
    bench::printReport("report", fields);
    return 0;
}

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    bench::setUpLikeBrovik();
    const std::string what = argc > 1 ? argv[1] : "";
    if (what == "flood" && (argc == 4 || argc == 5))
        return flood(argv[2], std::atoll(argv[3]),
                     argc == 5 ? QString::fromLocal8Bit(argv[4]) : QString());
    if (what == "find" && argc == 3)
        return find(std::atoi(argv[2]));
    std::fprintf(stderr, "usage: bench-logfeatures-app flood MODE EXPECTED_BYTES [CAPTURE_FILE]\n"
                         "       bench-logfeatures-app find LINES\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
