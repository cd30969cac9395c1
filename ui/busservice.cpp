// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/busservice.h"

#include "base/failure.h"
#include "ui/boardactions.h"
#include "ui/busnames.h"
#include "ui/sessionbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

BusService::BusService(BoardActions& board) : m_board(board) {}

BusService::~BusService() {
    if (!m_published)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(BrovikBus::Service);
    bus.unregisterObject(BrovikBus::Path);
}

QString BusService::publish() {
    if (!sessionBusWithinReach())
        return QStringLiteral("there is no session D-Bus (no address is set, and there is no "
                              "display to start one on)");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return QStringLiteral("there is no session D-Bus (%1)").arg(bus.lastError().message());
    if (!bus.registerObject(BrovikBus::Path, this, QDBusConnection::ExportScriptableSlots))
        return QStringLiteral("cannot offer %1 on the session D-Bus").arg(BrovikBus::Path);
    if (!bus.registerService(BrovikBus::Service)) {
        bus.unregisterObject(BrovikBus::Path);
        return QStringLiteral("another Brovik answers them");
    }
    m_published = true;
    return {};
}

template <typename Call> QString BusService::answer(Call call) {
    try {
        return call();
    } catch (const std::exception& e) {
        sendErrorReply(BrovikBus::Refused, describe(e));
        return {};
    }
}

QString BusService::Release() {
    return answer([this] { return m_board.release(); });
}

QString BusService::Reclaim() {
    return answer([this] { return m_board.reclaim(); });
}

QString BusService::Status() {
    return answer([this] { return m_board.status(); });
}
