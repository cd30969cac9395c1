#pragma once

#include "serial/comportmap.h"

// The "Ports" section of the settings file: the COM numbers the user gave
// devices of their own ("COM2=/dev/serial/by-id/..."). The program never
// writes it. A settings file that cannot be read names no ports; reading it
// reports the failure where the settings are loaded.
class StoredPortEntries : public PortEntrySource {
public:
    PortEntries portEntries() const override;
};

// The one the program's ports use.
const PortEntrySource& storedPortEntries();
