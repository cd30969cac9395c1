#include "settings/mainsettings.h"

#include "base/reportfailure.h"
#include "serial/serialport.h"
#include "settings/autoclear.h"
#include "settings/conversions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <limits>

using namespace SettingsKeys;

namespace {

QString stored(const QString& section, const QString& key, const QString& def) {
    return SettingsStore::GetSetting(AppName, section, key, def);
}

void save(const QString& section, const QString& key, const QString& value) {
    SettingsStore::SaveSetting(AppName, section, key, value);
}

qint16 storedCheckState(const QString& key) {
    const QString what = QStringLiteral("the stored ") + key;
    return toCheckState(what, toInt16(what, stored(General, key, QStringLiteral("0"))));
}

} // namespace

MainSettings::MainSettings(SerialPort& port, QVariant& autoClearOnSend, LogSink& log)
    : m_port(port), m_autoClearOnSend(autoClearOnSend), m_log(log) {}

void MainSettings::loadSettings(LineEndStates& lineEnds) {
    reportingFailures(m_log, QStringLiteral("loadSettings: "), [&] {
        // Kept as read: it is interpreted only where it is used.
        m_autoClearOnSend = stored(General, QStringLiteral("AutoClearOnSend"), QStringLiteral("1"));
        lineEnds.sendCR = storedCheckState(QStringLiteral("SendCR"));
        lineEnds.sendLF = storedCheckState(QStringLiteral("SendLF"));
        m_port.setCommPort(toInt16(QStringLiteral("the stored Port"),
                                   stored(Com, QStringLiteral("Port"), QStringLiteral("1"))));
        m_port.setSettings(stored(Com, QStringLiteral("Settings"), QStringLiteral("9600,n,8,1")));
        m_port.setHandshaking(static_cast<int>(
            toInteger(QStringLiteral("the stored HandShaking"),
                      stored(Com, QStringLiteral("HandShaking"), QStringLiteral("0")),
                      std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
    });
}

bool MainSettings::saveSettings(const LineEndStates& lineEnds) {
    bool saved = false;
    reportingFailures(m_log, QStringLiteral("saveSettings: "), [&] {
        save(General, QStringLiteral("AutoClearOnSend"), autoClearText(m_autoClearOnSend));
        save(General, QStringLiteral("SendCR"), QString::number(lineEnds.sendCR));
        save(General, QStringLiteral("SendLF"), QString::number(lineEnds.sendLF));
        save(Com, QStringLiteral("Port"), QString::number(static_cast<qint16>(m_port.CommPort())));
        save(Com, QStringLiteral("Settings"), m_port.Settings());
        save(Com, QStringLiteral("HandShaking"),
             QString::number(static_cast<qint32>(m_port.Handshaking())));
        saved = true;
    });
    return saved;
}
