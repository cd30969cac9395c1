// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/terminal.h"

#include "base/reportfailure.h"
#include "serial/connectionstatus.h"
#include "session/runoverrides.h"
#include "settings/boardsettings.h"
#include "settings/portentries.h"
#include "transmit/datafield.h"
#include "transmit/outputs.h"

#include <QCoreApplication>

namespace {

// Without a window there is no pointer to show.
class NoPointer : public BusyPointer {
public:
    void setBusyPointer() override {}
    void setDefaultPointer() override {}
};

} // namespace

Terminal::Terminal(std::unique_ptr<SerialPort> port, std::unique_ptr<BusyPointer> pointer)
    : m_port(port ? std::move(port) : std::make_unique<SerialPort>(storedPortEntries())),
      m_pointer(pointer ? std::move(pointer) : std::make_unique<NoPointer>()),
      m_settings(*m_port, m_autoClearOnSend, *this), m_options(*m_port, m_autoClearOnSend, *this),
      m_pipeline({*m_port, *this, *m_pointer, [] { QCoreApplication::processEvents(); }}),
      m_fileSender({*m_port, *this, *m_pointer, [] { QCoreApplication::processEvents(); }}),
      m_poller(*m_port, *this) {}

Terminal::~Terminal() = default;

void Terminal::load() {
    if (loadSettingsFirst())
        openPortAfterSettings();
}

bool Terminal::loadSettingsFirst() {
    bool settled = false;
    reportingFailures(*this, QStringLiteral("Load: "), [&] {
        updateLog(QStringLiteral("Loading settings..."), LogCategory::Info);
        loadSettings();
        // Which device the user chose is not known: open none rather than guess.
        if (!m_settings.unreadable().isEmpty())
            throw Failure(QStringLiteral("no port was opened, as the settings that say which "
                                         "one could not be read (") +
                          m_settings.unreadable() + u')');
        settled = true;
    });
    return settled;
}

void Terminal::openPortAfterSettings() {
    reportingFailures(*this, QStringLiteral("Load: "), [this] {
        m_port->setPortOpen(true);
        m_port->setInputLen(0);
        // A tick that fell due while the port opened runs here.
        QCoreApplication::processEvents();
        updateCommStatus();
        updateLog(QStringLiteral("Connected to port"), LogCategory::Info);
        updateLog(QStringLiteral("Ready!"), LogCategory::Info);
    });
}

void Terminal::loadSettings() {
    m_settings.loadSettings(m_lineEnds);
    emit lineEndsLoaded();
    loadLinesOnOpen(*m_port, *this);
    applyPortOverrides(m_runOverrides, *m_port, m_settings, *this);
}

void Terminal::saveSettings() {
    if (m_settings.saveSettings(m_lineEnds))
        updateCommStatus();
}

void Terminal::saveAppliedSettings() {
    m_settings.keepStored({});
    saveSettings();
}

void Terminal::SendData(const QString& DataToSend) {
    m_pipeline.SendData(DataToSend);
}

QString Terminal::processData(const QString& Data) {
    return m_pipeline.processData(Data);
}

bool Terminal::sendDataField(const QString& field) {
    return ::sendDataField(field, m_lineEnds, m_autoClearOnSend, m_pipeline);
}

void Terminal::sendOutput(int index) {
    sendPredefinedOutput(index, m_pipeline, *this);
}

void Terminal::SendFile(const QString& path) {
    m_fileSender.SendFile(path);
}

void Terminal::tick() {
    if (m_poller.tick())
        updateCommStatus();
}

void Terminal::showCurrentSettings(OptionsView& view) {
    m_options.showCurrentSettings(view);
}

std::optional<QString> Terminal::applyOptions(const OptionsView& view) {
    std::optional<QString> failure = m_options.saveSettings(view);
    if (!failure)
        saveAppliedSettings();
    return failure;
}

void Terminal::CheckAutoClear_Click(qint16 state) {
    m_options.CheckAutoClear_Click(state);
}

void Terminal::updateLog(const QString& Data, LogCategory Cat) {
    emit logEntry(Data, Cat);
}

void Terminal::updateLogBytes(const QByteArray& Data, LogCategory Cat) {
    emit logBytes(Data, Cat);
}

void Terminal::updateCommStatus() {
    emit statusChanged(connectionStatus(*m_port));
}
