// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/buscommand.h"

#include "ui/busnames.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>

namespace {

// Closing waits for the device to take what was queued, up to ten seconds.
constexpr int AnswerTimeoutMs = 60000;

int fail(const QString& why) {
    std::fputs(qPrintable(QStringLiteral("brovik: ") + why + u'\n'), stderr);
    return 1;
}

} // namespace

namespace {

int ask(QDBusConnection& bus, const QString& method) {
    if (!bus.isConnected())
        return fail(QStringLiteral("no session D-Bus, so no running Brovik can be reached (%1)")
                        .arg(bus.lastError().message()));
    const QDBusMessage call = QDBusMessage::createMethodCall(BrovikBus::Service, BrovikBus::Path,
                                                             BrovikBus::Interface, method);
    const QDBusMessage reply = bus.call(call, QDBus::Block, AnswerTimeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        const QString name = reply.errorName();
        if (name == u"org.freedesktop.DBus.Error.ServiceUnknown" ||
            name == u"org.freedesktop.DBus.Error.NameHasNoOwner")
            return fail(QStringLiteral("no Brovik is running in this desktop session"));
        if (name == BrovikBus::Refused)
            return fail(reply.errorMessage());
        return fail(
            QStringLiteral("the running Brovik did not answer: %1").arg(reply.errorMessage()));
    }
    const QList<QVariant> arguments = reply.arguments();
    if (!arguments.isEmpty())
        std::fputs(qPrintable(arguments.first().toString() + u'\n'), stdout);
    return 0;
}

} // namespace

int askRunningBrovik(const QString& method) {
    // After an error reply the bus may still be delivering messages. Were they
    // handled while the program exits, Qt's D-Bus thread would meet a type
    // registry already gone and print warnings; so one more round trip to the
    // bus lets them all in, and the connection is closed while the
    // application still exists.
    const QString name = QStringLiteral("brovik-command");
    int status = 0;
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, name);
        status = ask(bus, method);
        bus.call(QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping")));
    }
    QDBusConnection::disconnectFromBus(name);
    return status;
}
