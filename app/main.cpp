// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/terminationsignals.h"
#include "base/largebuffers.h"
#include "serial/portlisting.h"
#include "session/commandline.h"
#include "session/terminal.h"
#include "settings/portentries.h"
#include "settings/settingskeys.h"
#include "ui/boardactions.h"
#include "ui/buscommand.h"
#include "ui/busservice.h"
#include "ui/formmain.h"
#include "ui/logcontrols.h"
#include "ui/pictures/appicon.h"

#include <QApplication>
#include <QByteArray>
#include <QByteArrayList>

#include <cstdio>
#include <cstring>

namespace {

// Qt's arguments may start with one dash or two.
bool isQtOption(const char* arg, const char* name) {
    if (arg[0] != '-')
        return false;
    if (arg[1] == '-')
        ++arg;
    return std::strcmp(arg + 1, name) == 0;
}

// The value of Qt's option NAME on the command line, or null when it is not given.
const char* qtOptionValue(int argc, char* argv[], const char* name) {
    const char* value = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (isQtOption(argv[i], name))
            value = argv[++i];
    }
    return value;
}

// Whether every platform Qt may try (-platform, else QT_QPA_PLATFORM and its
// fall-backs, else the desktop default) is a window system's: xcb or Wayland.
// Offscreen, minimal, VNC and the like need no display.
bool needsWindowSystem(int argc, char* argv[]) {
    const char* option = qtOptionValue(argc, argv, "platform");
    const QByteArray platforms = option ? QByteArray(option) : qgetenv("QT_QPA_PLATFORM");
    for (const QByteArray& entry : platforms.split(';')) {
        const QByteArray name = entry.split(':').first().trimmed();
        if (!name.isEmpty() && name != "xcb" && !name.startsWith("wayland"))
            return false;
    }
    return true;
}

bool displayGiven(int argc, char* argv[]) {
    return qtOptionValue(argc, argv, "display") || !qgetenv("DISPLAY").isEmpty() ||
           !qgetenv("WAYLAND_DISPLAY").isEmpty() || !qgetenv("WAYLAND_SOCKET").isEmpty();
}

void setNames() {
    QCoreApplication::setApplicationName(SettingsKeys::AppName);
    QCoreApplication::setOrganizationName(SettingsKeys::AppName);
    QCoreApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
}

void print(const QString& text) {
    std::fputs(qPrintable(text), stdout);
}

// --help, --version, --list, --release, --reclaim: no window, no display.
int runWithoutWindow(const CommandLine& cl) {
    switch (cl.action) {
    case CommandLine::Action::Help:
        print(cl.helpText);
        return 0;
    case CommandLine::Action::Version:
        print(QStringLiteral("brovik %1\n").arg(QCoreApplication::applicationVersion()));
        return 0;
    case CommandLine::Action::List:
        print(comPortListing(storedPortMap()));
        return 0;
    case CommandLine::Action::Release:
        return askRunningBrovik(QStringLiteral("Release"));
    case CommandLine::Action::Reclaim:
        return askRunningBrovik(QStringLiteral("Reclaim"));
    case CommandLine::Action::Run:
        break;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine cl = parseCommandLine(arguments);
    if (!cl.error.isEmpty()) {
        std::fputs(qPrintable(QStringLiteral("brovik: ") + cl.error + u'\n'), stderr);
        return 2;
    }
    if (cl.action != CommandLine::Action::Run) {
        QCoreApplication app(argc, argv);
        setNames();
        return runWithoutWindow(cl);
    }
    // Without a display Qt aborts with advice to reinstall, which misleads.
    if (needsWindowSystem(argc, argv) && !displayGiven(argc, argv)) {
        std::fputs("brovik: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Brovik needs a graphical desktop: start it from a desktop session, or\n"
                   "set DISPLAY or WAYLAND_DISPLAY to the display to use.\n",
                   stderr);
        return 1;
    }

    returnLargeBuffersToTheSystem();
    QApplication app(argc, argv);
    setNames();
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));

    FormMain formMain;
    // Before the load, so that the start-up lines are captured too.
    if (cl.capture)
        formMain.logControls().startCapture(*cl.capture, false);
    closeOnTerminationSignals(&formMain);
    formMain.terminal().setRunOverrides(cl.port);
    BoardActions board(formMain);
    board.addTo(formMain.logControls().actions());
    BusService bus(board);
    formMain.loadAndShow([&] {
        // After the first frame: on X11 the icon is painted at every size
        // for the window manager, which the window need not wait for.
        QApplication::setWindowIcon(programIcon());
        if (const QString why = bus.publish(); !why.isEmpty())
            formMain.updateLog(QStringLiteral("brovik --release and --reclaim cannot reach this "
                                              "Brovik: ") +
                                   why,
                               LogCategory::Info);
    });
    return QApplication::exec();
}
