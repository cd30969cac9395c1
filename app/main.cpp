#include "app/terminationsignals.h"
#include "settings/settingskeys.h"
#include "ui/formmain.h"
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

} // namespace

int main(int argc, char* argv[]) {
    // Without a display Qt aborts with advice to reinstall, which misleads.
    if (needsWindowSystem(argc, argv) && !displayGiven(argc, argv)) {
        std::fputs("brovik: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
                   "Brovik needs a graphical desktop: start it from a desktop session, or\n"
                   "set DISPLAY or WAYLAND_DISPLAY to the display to use.\n",
                   stderr);
        return 1;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(SettingsKeys::AppName);
    QApplication::setOrganizationName(SettingsKeys::AppName);
    QApplication::setApplicationVersion(QStringLiteral(BROVIK_VERSION));
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("brovik"));

    FormMain formMain;
    closeOnTerminationSignals(&formMain);
    formMain.load();
    formMain.show();
    return QApplication::exec();
}
