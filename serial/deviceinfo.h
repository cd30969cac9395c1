// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QSerialPortInfo;

// What the system knows of the serial device at path (a link such as
// /dev/serial/by-id/... counts as the device it leads to): its maker and
// product, USB vendor and product ids and serial number, or empty.
QString deviceInfo(const QString& path);

// The maker and the product of a device as one name ("Arduino LLC Arduino Uno"),
// or empty.
QString productName(const QSerialPortInfo& port);
