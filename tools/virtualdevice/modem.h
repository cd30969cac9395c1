// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The answers of a minimal AT-command modem. Pure logic: bytes in, answer
// bytes out, so it can be tested without a terminal.
class Modem {
public:
    // Takes bytes in any split and returns the answers to every line they end.
    std::string feed(std::string_view bytes);

    // The answer to one complete line (without its line end); empty lines get none.
    static std::string answer(std::string_view line);

    // Longer lines are still answered (with ERROR) but not kept in full.
    static constexpr std::size_t maxLineLength = 1024;

private:
    void endLine(std::string& out);

    std::string m_line;
    bool m_overlong = false;
    bool m_afterCr = false; // an LF right after a CR belongs to that line end
};
