// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/busypointer.h"
#include "base/logsink.h"
#include "serial/receivepoller.h"
#include "serial/serialport.h"
#include "session/commandline.h"
#include "settings/lineends.h"
#include "settings/mainsettings.h"
#include "settings/optionslogic.h"
#include "transmit/filesend.h"
#include "transmit/sendpipeline.h"

#include <QObject>
#include <QVariant>

#include <memory>
#include <optional>

// One terminal session without a window: the serial port, the send
// preferences (the auto-clear flag and the line-end states) and the parts that
// work on them. A window hands it the user's actions and shows what it
// reports: each log entry, and the status line whenever it changes.
class Terminal : public QObject, public LogSink {
    Q_OBJECT
public:
    // A port of the caller's own may be handed in (tests do), and the busy
    // pointer to show while writing (the window's); without one none shows.
    explicit Terminal(std::unique_ptr<SerialPort> port = nullptr,
                      std::unique_ptr<BusyPointer> pointer = nullptr);
    ~Terminal() override;

    // Start-up: load the settings, open the port, yield once, report. The
    // first failure ends it with one "Load: " line.
    void load();
    // load() in two halves, for a window that shows itself in between; the
    // first says whether the second is to follow.
    bool loadSettingsFirst();
    void openPortAfterSettings();
    // The send preferences and the port configuration, from and to the store;
    // loading then applies what the command line set for this run.
    void loadSettings();
    void saveSettings();
    // Saves what the user applied in Options, the command line's values included.
    void saveAppliedSettings();

    // Sending: typed data and outputs through the pipeline, files as they are.
    void SendData(const QString& DataToSend);
    QString processData(const QString& Data);
    // The data field's text with the ticked line ends; true when the field
    // is to be emptied.
    bool sendDataField(const QString& field);
    void sendOutput(int index);
    void SendFile(const QString& path);

    // One tick of the 500 ms receive timer.
    void tick();

    // The Options dialog's logic. Applying saves the rest when it succeeds,
    // and otherwise returns the description of the failure.
    void showCurrentSettings(OptionsView& view);
    std::optional<QString> applyOptions(const OptionsView& view);
    void CheckAutoClear_Click(qint16 state);

    // Every entry for the activity log goes out as logEntry; received bytes
    // as logBytes, one character each.
    void updateLog(const QString& Data, LogCategory Cat) override;
    void updateLogBytes(const QByteArray& Data, LogCategory Cat) override;
    // Tells the status line the port as it now stands.
    void updateCommStatus();

    SerialPort& port() { return *m_port; }
    const SerialPort& port() const { return *m_port; }
    // The stored text after start-up, an integer once the Options dialog has
    // set it, nothing before loading.
    const QVariant& AutoClearOnSend() const { return m_autoClearOnSend; }
    void setAutoClearOnSend(const QVariant& flag) { m_autoClearOnSend = flag; }
    LineEndStates lineEnds() const { return m_lineEnds; }
    void setLineEnds(LineEndStates lineEnds) { m_lineEnds = lineEnds; }
    // What the command line set for this run (session/runoverrides.cpp).
    void setRunOverrides(const PortOverrides& overrides) { m_runOverrides = overrides; }

signals:
    void logEntry(const QString& Data, LogCategory Cat);
    void logBytes(const QByteArray& Data, LogCategory Cat);
    void statusChanged(const QString& status);
    // The line-end states were set from the store.
    void lineEndsLoaded();

private:
    std::unique_ptr<SerialPort> m_port;
    std::unique_ptr<BusyPointer> m_pointer;
    QVariant m_autoClearOnSend;
    LineEndStates m_lineEnds;
    PortOverrides m_runOverrides;
    MainSettings m_settings;
    OptionsLogic m_options;
    SendPipeline m_pipeline;
    FileSender m_fileSender;
    ReceivePoller m_poller;
};
