// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the command line sets for this run only; Exit does not store it.
struct PortOverrides {
    std::optional<int> comPort;    // --port COMn
    std::optional<QString> device; // --port DEVICE
    std::optional<QString> settings;
    std::optional<int> handshaking; // the flow-control code
    bool isEmpty() const { return !comPort && !device && !settings && !handshaking; }
};

struct CommandLine {
    enum class Action { Run, List, Release, Reclaim, Help, Version };
    Action action = Action::Run;
    PortOverrides port;
    // --capture FILE, for the log capture to take.
    std::optional<QString> capture;
    // Why the line was refused, as one line without the program's name;
    // empty when it was understood.
    QString error;
    QString helpText;
};

// Parses the program's arguments (the first is the program itself). Qt's
// own window options (-platform, -display, -style, ...) are let through for
// the toolkit. Nothing is read but the existence of a device named by --port.
CommandLine parseCommandLine(const QStringList& arguments);
