// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The endless text of stream mode: numbered lines such as
// "line 000123 abcdefghijklmnopqrstuvwxyz0123456789" followed by CR LF,
// or glued together without line ends. Handed out in pieces of any size.
class StreamText {
public:
    explicit StreamText(bool newlines = true);

    // Appends the next `count` bytes of the text to `out`.
    void take(std::size_t count, std::string& out);

    // Bytes per line, line end included when there is one.
    std::size_t lineLength() const { return m_lineLength; }

    static constexpr std::uint32_t counterLimit = 1000000; // six digits, then wraps to 0

private:
    void nextLine();

    bool m_newlines;
    std::size_t m_lineLength;
    std::uint32_t m_counter = 0;
    std::string m_line;
    std::size_t m_pos = 0;
};
