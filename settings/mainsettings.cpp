#include "app/failure.h"
#include "serial/serialport.h"
#include "settings/conversions.h"
#include "settings/settingsstore.h"
#include "ui/formmain.h"

#include <QCheckBox>

#include <limits>

namespace {

const QString App = QStringLiteral("Brovik");
const QString General = QStringLiteral("General");
const QString Com = QStringLiteral("COM");

QString get(const QString& section, const QString& key, const QString& def) {
    return SettingsStore::GetSetting(App, section, key, def);
}

QString flagText(const QVariant& flag) {
    if (!flag.isValid())
        return QString();
    return flag.toString();
}

} // namespace

void FormMain::loadSettings() {
    try {
        AutoClearOnSend = get(General, QStringLiteral("AutoClearOnSend"), QStringLiteral("1"));
        setStateCode(CheckCR, QStringLiteral("the stored SendCR"),
                     toInt16(QStringLiteral("the stored SendCR"),
                             get(General, QStringLiteral("SendCR"), QStringLiteral("0"))));
        setStateCode(CheckLF, QStringLiteral("the stored SendLF"),
                     toInt16(QStringLiteral("the stored SendLF"),
                             get(General, QStringLiteral("SendLF"), QStringLiteral("0"))));
        m_comm->setCommPort(toInt16(QStringLiteral("the stored Port"),
                                    get(Com, QStringLiteral("Port"), QStringLiteral("1"))));
        m_comm->setSettings(get(Com, QStringLiteral("Settings"), QStringLiteral("9600,n,8,1")));
        m_comm->setHandshaking(static_cast<int>(
            toInteger(QStringLiteral("the stored HandShaking"),
                      get(Com, QStringLiteral("HandShaking"), QStringLiteral("0")),
                      std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("loadSettings: ") + describe(e), Error);
    }
}

void FormMain::saveSettings() {
    try {
        SettingsStore::SaveSetting(App, General, QStringLiteral("AutoClearOnSend"),
                                   flagText(AutoClearOnSend));
        SettingsStore::SaveSetting(App, General, QStringLiteral("SendCR"),
                                   QString::number(stateCode(CheckCR)));
        SettingsStore::SaveSetting(App, General, QStringLiteral("SendLF"),
                                   QString::number(stateCode(CheckLF)));
        SettingsStore::SaveSetting(App, Com, QStringLiteral("Port"),
                                   QString::number(static_cast<qint16>(m_comm->CommPort())));
        SettingsStore::SaveSetting(App, Com, QStringLiteral("Settings"), m_comm->Settings());
        SettingsStore::SaveSetting(App, Com, QStringLiteral("HandShaking"),
                                   QString::number(static_cast<qint32>(m_comm->Handshaking())));
        updateCommStatus();
    } catch (const std::exception& e) {
        updateLog(QStringLiteral("saveSettings: ") + describe(e), Error);
    }
}
