// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "session/receiveddisplay.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// The log's stored choices, section "Log" of the settings store.
namespace LogOptions {

inline const QString Section = QStringLiteral("Log");
inline const QString ShowTimes = QStringLiteral("ShowTimes");
inline const QString ReceivedAsKey = QStringLiteral("ReceivedAs");
inline const QString StripTerminalCodes = QStringLiteral("StripTerminalCodes");
inline const QString Capture = QStringLiteral("Capture");
inline const QString CaptureRaw = QStringLiteral("CaptureRaw");
inline const QString WindowGeometry = QStringLiteral("WindowGeometry");

struct Choices {
    bool showTimes = false;
    ReceivedAs receivedAs = ReceivedAs::Designed;
    bool stripTerminalCodes = false;
    QString capture; // the file captured to from the start; empty for none
    bool captureRaw = false;
};

// The stored choices. A value that means nothing leaves its default and adds
// a sentence to *problems. Throws Failure when the store cannot be read.
Choices load(QStringList* problems);

// "designed", "utf8", "hex": the stored names of the modes.
QString nameOf(ReceivedAs mode);

// Each stores one choice at once; throws Failure when it cannot be saved.
void save(const QString& key, const QString& value);
void saveFlag(const QString& key, bool on);

// The log window's size and place as Qt writes them, or empty.
QByteArray windowGeometry();
void saveWindowGeometry(const QByteArray& geometry);

} // namespace LogOptions
