// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where each stored value lives: application, section and key.
namespace SettingsKeys {

// The application name: the settings folder and file, and the program's own name.
inline const QString AppName = QStringLiteral("Brovik");

inline const QString General = QStringLiteral("General");
inline const QString Com = QStringLiteral("COM");
inline const QString Outputs = QStringLiteral("Outputs");
inline const QString Ports = QStringLiteral("Ports");

// How many predefined outputs there are, and the key of output k (1 ... 8).
inline constexpr int OutputCount = 8;
inline QString outputKey(int k) {
    return QStringLiteral("Output%1").arg(k);
}

} // namespace SettingsKeys
