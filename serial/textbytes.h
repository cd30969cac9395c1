// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Text in this program holds one character per byte: U+0000..U+00FF stand for
// the bytes 0..255. A character above U+00FF has no single byte and goes out as
// its UTF-8 bytes.
QByteArray toWireBytes(const QString& text);
QString fromWireBytes(const QByteArray& bytes);
