// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/mainsettings.h"

#include "base/reportfailure.h"
#include "serial/serialport.h"
#include "settings/autoclear.h"
#include "settings/conversions.h"
#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

#include <QStringList>

#include <limits>

using namespace SettingsKeys;

namespace {

struct StoredKey {
    const QString& section;
    QString key;
    QString fallback; // the value when the key is absent
};

// In the order they are loaded and saved.
const std::array<StoredKey, MainSettings::KeyCount> Keys = {{
    {General, QStringLiteral("AutoClearOnSend"), QStringLiteral("1")},
    {General, QStringLiteral("SendCR"), QStringLiteral("0")},
    {General, QStringLiteral("SendLF"), QStringLiteral("0")},
    {Com, QStringLiteral("Port"), QStringLiteral("1")},
    {Com, QStringLiteral("Settings"), QStringLiteral("9600,n,8,1")},
    {Com, QStringLiteral("HandShaking"), QStringLiteral("0")},
}};

qint16 checkState(const QString& key, const QString& text) {
    const QString what = QStringLiteral("the stored ") + key;
    return toCheckState(what, toInt16(what, text));
}

} // namespace

MainSettings::MainSettings(SerialPort& port, QVariant& autoClearOnSend, LogSink& log)
    : m_port(port), m_autoClearOnSend(autoClearOnSend), m_log(log) {}

std::array<QString, MainSettings::KeyCount>
MainSettings::liveTexts(const LineEndStates& lineEnds) const {
    return {autoClearText(m_autoClearOnSend),
            QString::number(lineEnds.sendCR),
            QString::number(lineEnds.sendLF),
            QString::number(static_cast<qint16>(m_port.CommPort())),
            m_port.Settings(),
            QString::number(static_cast<qint32>(m_port.Handshaking()))};
}

void MainSettings::loadSettings(LineEndStates& lineEnds) {
    m_unreadable.clear();
    int loaded = 0;
    reportingFailures(m_log, QStringLiteral("loadSettings: "), [&] {
        IniDocument store;
        try {
            store = SettingsStore::read(AppName); // once, so all values come from one file
        } catch (const Failure& f) {
            m_unreadable = f.description();
            m_autoClearOnSend = Keys[0].fallback; // unknown: it means what its default means
            throw;
        }
        auto stored = [&](int i) { return store.value(Keys[i].section, Keys[i].key); };
        auto text = [&](int i) { return stored(i).value_or(Keys[i].fallback); };
        // Kept as read: it is interpreted only where it is used.
        m_autoClearOnSend = text(0);
        ++loaded;
        lineEnds.sendCR = checkState(Keys[1].key, text(1));
        ++loaded;
        lineEnds.sendLF = checkState(Keys[2].key, text(2));
        ++loaded;
        m_port.setCommPort(toInt16(QStringLiteral("the stored Port"), text(3)));
        ++loaded;
        m_port.setSettings(text(4));
        ++loaded;
        m_port.setHandshaking(static_cast<int>(
            toInteger(QStringLiteral("the stored HandShaking"), text(5),
                      std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max())));
        ++loaded;
    });
    const std::array<QString, KeyCount> live = liveTexts(lineEnds);
    for (int i = 0; i < KeyCount; ++i)
        m_notLoaded[i] = i < loaded ? std::nullopt : std::optional(live[i]);
}

bool MainSettings::saveSettings(const LineEndStates& lineEnds) {
    bool saved = false;
    reportingFailures(m_log, QStringLiteral("saveSettings: "), [&] {
        const std::array<QString, KeyCount> live = liveTexts(lineEnds);
        QList<SettingsStore::Entry> entries;
        QStringList kept;
        for (int i = 0; i < KeyCount; ++i) {
            if (Keys[i].section == Com && m_keptStored.contains(Keys[i].key))
                continue; // set by the command line for this run only
            if (m_notLoaded[i] == live[i])
                kept << Keys[i].key;
            else
                entries.append({Keys[i].section, Keys[i].key, live[i]});
        }
        if (!kept.isEmpty())
            m_log.updateLog(QStringLiteral("Not saved, as they were not loaded at start-up and "
                                           "saving would overwrite the stored values unseen: ") +
                                kept.join(QStringLiteral(", ")),
                            LogCategory::Info);
        if (!entries.isEmpty()) {
            const QString note = SettingsStore::SaveSettings(AppName, entries);
            if (!note.isEmpty())
                m_log.updateLog(note, LogCategory::Info);
        }
        for (int i = 0; i < KeyCount; ++i)
            if (m_notLoaded[i] != live[i])
                m_notLoaded[i].reset(); // saved: the store holds the live value now
        saved = true;
    });
    return saved;
}
