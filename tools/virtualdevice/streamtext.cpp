// SPDX-License-Identifier: GPL-3.0-or-later
#include "streamtext.h"

#include <algorithm>
#include <cstdio>

namespace {
constexpr char tail[] = " abcdefghijklmnopqrstuvwxyz0123456789";
}

StreamText::StreamText(bool newlines)
    : m_newlines(newlines), m_lineLength(5 + 6 + sizeof tail - 1 + (newlines ? 2 : 0)) {
    nextLine();
}

void StreamText::nextLine() {
    char number[16];
    std::snprintf(number, sizeof number, "%06u", static_cast<unsigned>(m_counter));
    m_line = "line ";
    m_line += number;
    m_line += tail;
    if (m_newlines)
        m_line += "\r\n";
    m_pos = 0;
    m_counter = (m_counter + 1) % counterLimit;
}

void StreamText::take(std::size_t count, std::string& out) {
    while (count > 0) {
        if (m_pos == m_line.size())
            nextLine();
        const std::size_t n = std::min(count, m_line.size() - m_pos);
        out.append(m_line, m_pos, n);
        m_pos += n;
        count -= n;
    }
}
