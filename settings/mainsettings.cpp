#include "app/failure.h"
#include "serial/serialport.h"
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

qint64 toInteger(const QString& key, const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw Failure(QStringLiteral("the stored %1 \"%2\" is not a number").arg(key, text));
    if (v < min || v > max)
        throw Failure(QStringLiteral("the stored %1 %2 is out of range (%3 to %4)")
                          .arg(key)
                          .arg(v)
                          .arg(min)
                          .arg(max));
    return v;
}

qint16 toInt16(const QString& key, const QString& text) {
    return static_cast<qint16>(toInteger(key, text, -32768, 32767));
}

void setCheckState(QCheckBox* box, const QString& key, int state) {
    if (state < 0 || state > 2)
        throw Failure(QStringLiteral("the stored %1 %2 is not a check box state (0 clear, 1 "
                                     "ticked, 2 greyed)")
                          .arg(key)
                          .arg(state));
    // Stored states: 0 clear, 1 ticked, 2 greyed.
    box->setTristate(state == 2);
    box->setCheckState(state == 1   ? Qt::Checked
                       : state == 2 ? Qt::PartiallyChecked
                                    : Qt::Unchecked);
}

qint16 storedState(const QCheckBox* box) {
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
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
        setCheckState(CheckCR, QStringLiteral("SendCR"),
                      toInt16(QStringLiteral("SendCR"),
                              get(General, QStringLiteral("SendCR"), QStringLiteral("0"))));
        setCheckState(CheckLF, QStringLiteral("SendLF"),
                      toInt16(QStringLiteral("SendLF"),
                              get(General, QStringLiteral("SendLF"), QStringLiteral("0"))));
        m_comm->setCommPort(
            toInt16(QStringLiteral("Port"), get(Com, QStringLiteral("Port"), QStringLiteral("1"))));
        m_comm->setSettings(get(Com, QStringLiteral("Settings"), QStringLiteral("9600,n,8,1")));
        m_comm->setHandshaking(static_cast<int>(
            toInteger(QStringLiteral("HandShaking"),
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
                                   QString::number(storedState(CheckCR)));
        SettingsStore::SaveSetting(App, General, QStringLiteral("SendLF"),
                                   QString::number(storedState(CheckLF)));
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
