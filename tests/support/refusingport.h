// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/serialport.h"
#include "settings/portentries.h"

// A port whose writes the driver refuses while `refuse` is set, as a failing
// device's would be.
class RefusingPort : public SerialPort {
public:
    RefusingPort() : SerialPort(storedPortEntries()) {}
    bool refuse = true;

protected:
    qint64 writeBytes(const QByteArray& bytes) override {
        return refuse ? -1 : SerialPort::writeBytes(bytes);
    }
};
