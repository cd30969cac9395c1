// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "base/busypointer.h"

// The busy pointer as one program-wide state: an override cursor shows over
// every control, text boxes included. Restored when destroyed.
class OverridePointer : public BusyPointer {
public:
    OverridePointer() = default;
    ~OverridePointer() override;
    OverridePointer(const OverridePointer&) = delete;
    OverridePointer& operator=(const OverridePointer&) = delete;

    void setBusyPointer() override;
    void setDefaultPointer() override;

private:
    bool m_busy = false;
};
