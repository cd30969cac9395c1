// SPDX-License-Identifier: GPL-3.0-or-later
#include "appkit.h"

#include "base/largebuffers.h"
#include "ui/pictures/appicon.h"

#include <QApplication>
#include <QSocketNotifier>

#include <unistd.h>

namespace bench {

void setUpLikeBrovik() {
    returnLargeBuffersToTheSystem();
    QApplication::setApplicationName(QStringLiteral("Brovik"));
    QApplication::setOrganizationName(QStringLiteral("Brovik"));
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));
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
