// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/commandline.h"

#include "base/failure.h"
#include "serial/linesettings.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

// The options QGuiApplication and QApplication take for themselves: parsed
// here only so they are not refused, and left to the toolkit.
const QStringList QtValueOptions = {
    "platform", "platformpluginpath", "platformtheme", "plugin",       "display",
    "geometry", "qwindowgeometry",    "qwindowicon",   "qwindowtitle", "qwindowscreen",
    "style",    "stylesheet",         "session",       "qmljsdebugger"};
const QStringList QtFlagOptions = {"reverse", "widgetcount", "nograb", "dograb", "sync"};

// Qt's error texts ("Unknown option 'x'.") as one of ours.
QString fromParser(QString text) {
    if (text.endsWith(u'.'))
        text.chop(1);
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text + QStringLiteral(" (brovik --help lists the options)");
}

// The option's one value; an option given twice is refused, since which one
// holds would be a guess.
std::optional<QString> single(const QCommandLineParser& p, const QString& name, QString& error) {
    const QStringList values = p.values(name);
    if (values.isEmpty())
        return std::nullopt;
    if (values.size() > 1 && error.isEmpty())
        error = QStringLiteral("--%1 is given more than once").arg(name);
    return values.last();
}

void parsePort(const QString& value, PortOverrides& port, QString& error) {
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]{0,4})$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = com.match(value); m.hasMatch() && m.captured(1).toInt() <= 32767) {
        port.comPort = m.captured(1).toInt();
        return;
    }
    if (!value.startsWith(u'/')) {
        error = QStringLiteral("--port takes COMn (such as COM1) or a device path (such as "
                               "/dev/ttyACM0), not \"%1\"")
                    .arg(value);
        return;
    }
    if (!QFileInfo::exists(value)) {
        error = QStringLiteral("--port %1: no such device").arg(value);
        return;
    }
    port.device = value;
}

void parseHandshaking(const QString& value, PortOverrides& port, QString& error) {
    const QStringList names = {"none", "xonxoff", "rtscts", "both"};
    const qsizetype code = names.indexOf(value.toLower());
    if (code < 0)
        error = QStringLiteral("--handshaking takes none, xonxoff, rtscts or both, not \"%1\"")
                    .arg(value);
    else
        port.handshaking = static_cast<int>(code);
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    QCommandLineParser p;
    p.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    p.setApplicationDescription(
        QStringLiteral("Serial-port terminal for microcontroller boards. What --port, --settings "
                       "and --handshaking set holds for this run; Exit does not store it."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("Open COMn, or the serial device at DEVICE."),
                                  QStringLiteral("COMn|DEVICE"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Line settings: baud rate, parity (n, o, e, m, s), data bits, stop bits."),
        QStringLiteral("115200,n,8,1"));
    const QCommandLineOption handshaking(QStringLiteral("handshaking"),
                                         QStringLiteral("Flow control."),
                                         QStringLiteral("none|xonxoff|rtscts|both"));
    const QCommandLineOption capture(QStringLiteral("capture"),
                                     QStringLiteral("Capture the activity log to FILE."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("List the COM ports: device, USB product, serial number."));
    const QCommandLineOption release(
        QStringLiteral("release"),
        QStringLiteral("Make the running Brovik close its port for another program; returns "
                       "once it is closed."));
    const QCommandLineOption reclaim(
        QStringLiteral("reclaim"),
        QStringLiteral("Make the running Brovik open the released port again."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help."));
    p.addOptions({port, settings, handshaking, capture, list, release, reclaim, version, help});
    for (const QString& name : QtValueOptions) {
        QCommandLineOption o(name, QString(), QStringLiteral("value"));
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }
    for (const QString& name : QtFlagOptions) {
        QCommandLineOption o(name);
        o.setFlags(QCommandLineOption::HiddenFromHelp);
        p.addOption(o);
    }

    CommandLine cl;
    if (!p.parse(arguments)) {
        cl.error = fromParser(p.errorText());
        return cl;
    }
    if (!p.positionalArguments().isEmpty()) {
        cl.error = QStringLiteral("unexpected argument \"%1\" (brovik --help lists the options)")
                       .arg(p.positionalArguments().first());
        return cl;
    }
    if (p.isSet(help)) {
        cl.action = CommandLine::Action::Help;
        // The usage line names the program as it is called, not as it was started.
        cl.helpText = p.helpText();
        const qsizetype usage = cl.helpText.indexOf(QStringLiteral(" [options]"));
        if (cl.helpText.startsWith(QStringLiteral("Usage: ")) && usage > 0)
            cl.helpText.replace(0, usage, QStringLiteral("Usage: brovik"));
        return cl;
    }
    if (p.isSet(version)) {
        cl.action = CommandLine::Action::Version;
        return cl;
    }

    QString error;
    if (const auto v = single(p, QStringLiteral("port"), error))
        parsePort(*v, cl.port, error);
    if (const auto v = single(p, QStringLiteral("settings"), error); v && error.isEmpty()) {
        try {
            LineSettings::parse(*v);
            cl.port.settings = *v;
        } catch (const Failure& f) {
            error = QStringLiteral("--settings: ") + f.description();
        }
    }
    if (const auto v = single(p, QStringLiteral("handshaking"), error); v && error.isEmpty())
        parseHandshaking(*v, cl.port, error);
    if (const auto v = single(p, QStringLiteral("capture"), error); v && error.isEmpty()) {
        if (v->isEmpty())
            error = QStringLiteral("--capture needs a file name");
        else
            cl.capture = *v;
    }
    if (!error.isEmpty()) {
        cl.error = error;
        return cl;
    }

    QStringList actions;
    for (const QCommandLineOption* o : {&list, &release, &reclaim})
        if (p.isSet(*o))
            actions << QStringLiteral("--") + o->names().first();
    if (actions.size() > 1) {
        cl.error = QStringLiteral("%1 go one at a time").arg(actions.join(QStringLiteral(" and ")));
        return cl;
    }
    if (actions.isEmpty())
        return cl;
    if (!cl.port.isEmpty() || cl.capture) {
        cl.error = QStringLiteral("--port, --settings, --handshaking and --capture are for the "
                                  "window; they do not go with %1")
                       .arg(actions.first());
        return cl;
    }
    cl.action = p.isSet(list)      ? CommandLine::Action::List
                : p.isSet(release) ? CommandLine::Action::Release
                                   : CommandLine::Action::Reclaim;
    return cl;
}
