// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingskeys.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

class LogSink;
class SerialPort;

// What the Options dialog shows, control by control. A new view is the
// dialog's load state: the check box clear, no output shown, no port listed
// and no list selection (-1). Selections index the lists of OptionChoices.
struct OptionsView {
    struct PortEntry {
        QString text; // "COMn"
        QString toolTip;
    };
    qint16 autoClear = 0; // 0 clear, 1 ticked, 2 greyed
    // The text of each output box; empty when the dialog neither showed the
    // stored text nor had the box edited, so applying leaves the stored text alone.
    std::array<std::optional<QString>, SettingsKeys::OutputCount> outputs;
    QList<PortEntry> ports;
    int port = -1;
    int baudRate = -1;
    // The baud list's field: the live rate, or the rate the user typed. It
    // counts when baudRate selects no entry.
    QString baudRateText;
    int dataBits = -1;
    int stopBits = -1;
    int parity = -1;
    int flow = -1;
};

// The Options dialog's logic over a session's port, its auto-clear flag, the
// settings store and the activity log.
class OptionsLogic {
public:
    OptionsLogic(SerialPort& port, QVariant& autoClearOnSend, LogSink& log);

    // Fills the view from the live port, the flag and the stored outputs. The
    // first failing step ends the fill with one "Options: " line; the view
    // keeps what was filled so far.
    void showCurrentSettings(OptionsView& view);
    // Applies the view: the flag, the outputs, then the port is closed,
    // reconfigured and reopened. Returns the description of the first failing
    // step; nothing is rolled back. On success the caller saves the rest.
    std::optional<QString> saveSettings(const OptionsView& view);
    // A click on the auto-clear box takes effect at once.
    void CheckAutoClear_Click(qint16 state);

private:
    SerialPort& m_port;
    QVariant& m_autoClearOnSend;
    LogSink& m_log;
};
