// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusContext>
#include <QObject>
#include <QString>

class BoardActions;

// The running Brovik on the session bus (the names are in ui/busnames.h):
// Release, Reclaim and Status do what the board's actions do. A refusal is a
// D-Bus error whose message says why.
class BusService : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.example.Brovik.Port")
public:
    explicit BusService(BoardActions& board);
    ~BusService() override;

    // Takes the service name on the session bus. Returns why it could not
    // (no session bus, another Brovik has it), or an empty text.
    QString publish();

public slots:
    Q_SCRIPTABLE QString Release();
    Q_SCRIPTABLE QString Reclaim();
    Q_SCRIPTABLE QString Status();

private:
    template <typename Call> QString answer(Call call);

    BoardActions& m_board;
    bool m_published = false;
};
