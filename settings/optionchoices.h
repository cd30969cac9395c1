// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// The entries of the Options dialog's fixed lists, in order. The order is a
// contract: the flow-control code is the entry's position, and the texts are
// the fields of the port settings string (parity by its lower-cased first letter).
namespace OptionChoices {

inline const QStringList BaudRates = {"110",   "300",   "600",   "1200",  "2400",  "4800",  "9600",
                                      "14400", "19200", "38400", "56000", "57600", "115200"};
inline const QStringList DataBits = {"5", "6", "7", "8"};
inline const QStringList StopBits = {"1", "1.5", "2"};
inline const QStringList Parities = {"None", "Odd", "Even", "Mark", "Space"};
inline const QStringList FlowControls = {"None", "Software (XON/XOFF)", "Hardware (RTS/CTS)",
                                         "Hard and Soft"};

// A rate typed into the baud list instead of picking one: a whole number in this range.
inline constexpr int MinTypedBaudRate = 50;
inline constexpr int MaxTypedBaudRate = 4'000'000;

// The COM numbers the port list offers, when present.
inline constexpr int FirstListedPort = 1;
inline constexpr int LastListedPort = 4;

} // namespace OptionChoices
