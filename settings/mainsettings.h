#pragma once

#include "settings/lineends.h"

#include <QVariant>

class LogSink;
class SerialPort;

// Moves the main window's send preferences and port configuration between
// the settings store and their live copies: the auto-clear flag, the
// line-end check box states and the port.
class MainSettings {
public:
    MainSettings(SerialPort& port, QVariant& autoClearOnSend, LogSink& log);

    // Applies the stored values in order while the port is closed. The first
    // that fails ends it with one "loadSettings: " line; later values keep
    // what they had.
    void loadSettings(LineEndStates& lineEnds);
    // Saves the live values; true when all were saved, so the caller refreshes
    // the status line. The first failure ends it with one "saveSettings: "
    // line; nothing is rolled back.
    bool saveSettings(const LineEndStates& lineEnds);

private:
    SerialPort& m_port;
    QVariant& m_autoClearOnSend;
    LogSink& m_log;
};
