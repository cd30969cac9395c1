// SPDX-License-Identifier: GPL-3.0-or-later
#include "session/logoptions.h"

#include "settings/settingskeys.h"
#include "settings/settingsstore.h"

namespace {

QString stored(const QString& key) {
    return SettingsStore::GetSetting(SettingsKeys::AppName, LogOptions::Section, key).trimmed();
}

bool flag(const QString& key, QStringList* problems) {
    const QString text = stored(key);
    if (text.isEmpty() || text == u'0')
        return false;
    if (text == u'1')
        return true;
    problems->append(QStringLiteral("[Log] %1=%2 is neither 0 nor 1; it stays off").arg(key, text));
    return false;
}

} // namespace

namespace LogOptions {

QString nameOf(ReceivedAs mode) {
    switch (mode) {
    case ReceivedAs::Utf8:
        return QStringLiteral("utf8");
    case ReceivedAs::Hex:
        return QStringLiteral("hex");
    case ReceivedAs::Designed:
        break;
    }
    return QStringLiteral("designed");
}

Choices load(QStringList* problems) {
    Choices c;
    c.showTimes = flag(ShowTimes, problems);
    c.stripTerminalCodes = flag(StripTerminalCodes, problems);
    c.captureRaw = flag(CaptureRaw, problems);
    const QString mode = stored(ReceivedAsKey).toLower();
    bool known = mode.isEmpty();
    for (ReceivedAs m : {ReceivedAs::Designed, ReceivedAs::Utf8, ReceivedAs::Hex}) {
        if (mode == nameOf(m)) {
            c.receivedAs = m;
            known = true;
        }
    }
    if (!known)
        problems->append(
            QStringLiteral("[Log] ReceivedAs=%1 is not designed, utf8 or hex; received data is "
                           "shown as designed")
                .arg(stored(ReceivedAsKey)));
    c.capture = SettingsStore::GetSetting(SettingsKeys::AppName, Section, Capture);
    return c;
}

void save(const QString& key, const QString& value) {
    SettingsStore::SaveSetting(SettingsKeys::AppName, Section, key, value);
}

void saveFlag(const QString& key, bool on) {
    save(key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray windowGeometry() {
    return QByteArray::fromBase64(stored(WindowGeometry).toLatin1());
}

void saveWindowGeometry(const QByteArray& geometry) {
    save(WindowGeometry, QString::fromLatin1(geometry.toBase64()));
}

} // namespace LogOptions
