// SPDX-License-Identifier: GPL-3.0-or-later
#include "appkit.h"

#include "base/largebuffers.h"
#include "serial/serialport.h"
#include "ui/formmain.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

namespace bench {

void setUpLikeBrovik() {
    returnLargeBuffersToTheSystem();
    QApplication::setApplicationName(QStringLiteral("Brovik"));
    QApplication::setOrganizationName(QStringLiteral("Brovik"));
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));
}

bool loadWithPortOpen(FormMain& window) {
    window.load();
    window.show();
    QCoreApplication::processEvents();
    if (window.MSComm().PortOpen())
        return true;
    std::printf("error COM1 did not open: %s\n", qPrintable(window.txtLog->toPlainText()));
    return false;
}

void onStdinLines(QObject* context, std::function<void(const std::string&)> handler) {
    auto* notifier = new QSocketNotifier(0, QSocketNotifier::Read, context);
    auto buffer = std::make_shared<std::string>();
    QObject::connect(notifier, &QSocketNotifier::activated, context, [=] {
        char chunk[4096];
        const ssize_t n = ::read(0, chunk, sizeof chunk);
        if (n <= 0) {
            notifier->setEnabled(false);
            handler("stop");
            return;
        }
        buffer->append(chunk, static_cast<std::size_t>(n));
        for (auto eol = buffer->find('\n'); eol != std::string::npos; eol = buffer->find('\n')) {
            const std::string line = buffer->substr(0, eol);
            buffer->erase(0, eol + 1);
            handler(line);
        }
    });
}

} // namespace bench
