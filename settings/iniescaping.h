// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Keys and values as QSettings writes them in an INI file, so that files it
// wrote read the same and files written here read the same with it. Text is
// UTF-8; bytes that are not (a hand-written Latin-1 0xE9) read as Latin-1,
// one character per byte.

// A section or key name: "%XX" and "%UXXXX" escapes, "\" for "/".
QString iniKey(QByteArrayView escaped);
QByteArray iniEscapedKey(const QString& key);

// A value as it stands after "=" up to the end of the line or an unquoted ";":
// spaces around it dropped, quotes and backslash escapes undone.
QString iniValue(QByteArrayView escaped);
QByteArray iniEscapedValue(const QString& value);
