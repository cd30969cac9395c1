#pragma once

#include <QString>

// What the system knows of the serial device at path (a link such as
// /dev/serial/by-id/... counts as the device it leads to): its maker and
// product, USB vendor and product ids and serial number, or empty.
QString deviceInfo(const QString& path);
