// SPDX-License-Identifier: GPL-3.0-or-later
// bench-filesend-app: the real main window sending a file on COM1 (mapped by
// the driver through XDG_CONFIG_HOME). Prints "ready" with its idle size once
// the port is open; on "send PATH" it sends the file as the Send File button
// does and prints "sent" with its peak memory once the port has handed every
// byte to the device. Ends on "stop" or at the end of stdin.

#include "appkit.h"
#include "benchkit.h"
#include "serial/serialport.h"
#include "ui/formmain.h"

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

namespace {

int run(int argc, char** argv) {
    QApplication app(argc, argv);
    bench::setUpLikeBrovik();

    FormMain w;
    if (!bench::loadWithPortOpen(w))
        return 1;

    QTimer drained;
    drained.setInterval(1);
    QObject::connect(&drained, &QTimer::timeout, &w, [&] {
        if (w.MSComm().pendingBytes() > 0)
            return;
        drained.stop();
        bench::printReport("sent", {{"at", bench::now()},
                                    {"peak_mib", bench::peakRssMiB()},
                                    {"rss_mib", bench::rssMiB()},
                                    {"errors", double(w.loggedCharacters(LogCategory::Error))}});
    });
    bench::onStdinLines(&w, [&](const std::string& line) {
        if (line.rfind("send ", 0) == 0) {
            w.txtFileSend->setText(QString::fromStdString(line.substr(5)));
            w.btSendFile_Click();
            drained.start();
        } else if (line == "stop") {
            QCoreApplication::quit();
        }
    });
    bench::printReport("ready", {{"rss_mib", bench::rssMiB()}, {"peak_mib", bench::peakRssMiB()}});
    return QApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    return bench::guarded(run, argc, argv);
}
