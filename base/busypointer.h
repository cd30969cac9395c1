// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The mouse pointer of a routine that writes to the port: the hourglass
// while it works, the default shape again on every way out.
class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    virtual void setBusyPointer() = 0;
    virtual void setDefaultPointer() = 0;
};

// Restores the default pointer when the routine ends, however it ends.
class BusyPointerGuard {
public:
    explicit BusyPointerGuard(BusyPointer& pointer) : m_pointer(pointer) {}
    ~BusyPointerGuard() { m_pointer.setDefaultPointer(); }
    BusyPointerGuard(const BusyPointerGuard&) = delete;
    BusyPointerGuard& operator=(const BusyPointerGuard&) = delete;

    void busy() { m_pointer.setBusyPointer(); }

private:
    BusyPointer& m_pointer;
};
