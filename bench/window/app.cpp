// SPDX-License-Identifier: GPL-3.0-or-later
// bench-window-app: starts Brovik's main window as app/main.cpp does (COM1
// is mapped by the driver through XDG_CONFIG_HOME) and prints "shown" with
// the time once it is on screen. With --idle SECONDS it then stays idle that
// long and prints "report" with its memory before it ends.

#include "appkit.h"
#include "benchkit.h"
#include "shown.h"
#include "ui/boardactions.h"
#include "ui/busservice.h"
#include "ui/formmain.h"
#include "ui/logcontrols.h"
#include "ui/pictures/appicon.h"

#include <QApplication>

namespace {

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    bench::setUpLikeBrovik();
    const double idle = bench::idleSeconds(argc, argv);

    FormMain formMain;
    bench::ShownWatch watch(&formMain, [&] {
        bench::printReport("shown", {{"at", bench::now()}});
        if (idle < 0) {
            QCoreApplication::quit();
            return;
        }
        QTimer::singleShot(static_cast<int>(idle * 1000), &formMain, [] {
            bench::printReport("report",
                               {{"peak_mib", bench::peakRssMiB()}, {"rss_mib", bench::rssMiB()}});
            QCoreApplication::quit();
        });
    });
    BoardActions board(formMain);
    board.addTo(formMain.logControls().actions());
    BusService bus(board);
    formMain.loadAndShow([&] {
        QApplication::setWindowIcon(programIcon());
        bus.publish();
    });
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
