// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/lineends.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <optional>

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
    // Saves the live values; true when they were saved, so the caller
    // refreshes the status line. A value the load did not take in is left as
    // stored until it is changed, and an Info line says so. A failure ends it
    // with one "saveSettings: " line, nothing saved.
    bool saveSettings(const LineEndStates& lineEnds);
    // [COM] keys that saving leaves as stored: the command line set them for
    // this run only. An empty list saves every key again.
    void keepStored(const QStringList& comKeys) { m_keptStored = comKeys; }

    // Why the store itself could not be read at the last load; empty when it was.
    const QString& unreadable() const { return m_unreadable; }

    static constexpr int KeyCount = 6;

private:
    std::array<QString, KeyCount> liveTexts(const LineEndStates& lineEnds) const;

    SerialPort& m_port;
    QVariant& m_autoClearOnSend;
    LogSink& m_log;
    // For each value the last load did not take in, its live text just after
    // that load: as long as it stays so, the stored value is kept.
    std::array<std::optional<QString>, KeyCount> m_notLoaded;
    QString m_unreadable;
    QStringList m_keptStored;
};
