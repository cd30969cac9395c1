// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "serial/comportmap.h"

// The "Ports" section of the settings file: the COM numbers the user gave
// devices of their own ("COM2=/dev/serial/by-id/..."). The program never
// writes it. A settings file that cannot be read gives no entries, so no COM
// number maps to a device; loading the settings reports why.
class StoredPortEntries : public PortEntrySource {
public:
    std::optional<PortEntries> portEntries() const override;
};

// The one the program's ports use.
const PortEntrySource& storedPortEntries();
// How COM numbers map to devices now, by the stored entries.
ComPortMap storedPortMap();
