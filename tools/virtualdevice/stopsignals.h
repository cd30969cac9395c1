// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Turns SIGINT, SIGTERM and SIGHUP into a readable descriptor, so a poll()
// loop wakes up for them and can end cleanly. One instance per program.
class StopSignals {
public:
    StopSignals(); // throws std::system_error
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    int fd() const { return m_read; }
    // Consumes the signals that arrived; returns whether there were any.
    bool take();

private:
    int m_read = -1;
    int m_write = -1;
};
