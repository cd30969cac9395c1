// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the running Brovik answers on the session bus: brovik --release and
// --reclaim, or any D-Bus client (gdbus, busctl, a build rule).
//
//   service    com.example.Brovik
//   object     /com/example/Brovik
//   interface  com.example.Brovik.Port
//     Release() -> s  closes the port for another program; answers once it is closed
//     Reclaim() -> s  opens the released port again as soon as it is free
//     Status()  -> s  one line on the port
//   A refusal (no port held, nothing released) is the error
//   com.example.Brovik.Error.Refused with the reason as its message.
namespace BrovikBus {

inline const QString Service = QStringLiteral("com.example.Brovik");
inline const QString Path = QStringLiteral("/com/example/Brovik");
inline const QString Interface = QStringLiteral("com.example.Brovik.Port");
inline const QString Refused = QStringLiteral("com.example.Brovik.Error.Refused");

} // namespace BrovikBus
