// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

// A pseudo-terminal whose master side plays the device. The slave side is
// raw and stays open here too, so the device survives the serial terminal
// closing and reopening it (the last close of a slave hangs the pair up).
class Pty {
public:
    Pty(); // throws std::system_error
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // Non-blocking.
    int master() const { return m_master; }
    const std::string& slavePath() const { return m_path; }
    // Bytes written to the master that no reader has taken from the slave yet.
    std::size_t unread() const;

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};
