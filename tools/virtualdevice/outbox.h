// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Bytes waiting for a non-blocking descriptor that may take only part of
// them, or nothing, at a time.
class Outbox {
public:
    void append(std::string_view bytes) { m_data.append(bytes); }
    bool empty() const { return m_head == m_data.size(); }
    std::size_t size() const { return m_data.size() - m_head; }

    // Writes what the descriptor takes now; returns the bytes written.
    // Throws std::system_error when the descriptor fails.
    std::size_t flush(int fd);

private:
    std::string m_data;
    std::size_t m_head = 0;
};
