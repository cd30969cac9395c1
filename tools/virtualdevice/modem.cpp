// SPDX-License-Identifier: GPL-3.0-or-later
#include "modem.h"

#include "version.h"

#include <algorithm>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

char upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool sameCommand(std::string_view line, std::string_view command) {
    return std::equal(line.begin(), line.end(), command.begin(), command.end(),
                      [](char a, char b) { return upper(a) == b; });
}

} // namespace

std::string Modem::answer(std::string_view line) {
    line = trimmed(line);
    if (line.empty())
        return {};
    if (sameCommand(line, "AT") || sameCommand(line, "ATZ"))
        return "OK\r\n";
    if (sameCommand(line, "ATI"))
        return std::string(virtualDeviceIdentity) + "\r\nOK\r\n";
    return "ERROR\r\n";
}

std::string Modem::feed(std::string_view bytes) {
    std::string out;
    for (const char c : bytes) {
        if (c == '\r') {
            endLine(out);
            m_afterCr = true;
            continue;
        }
        if (c == '\n') {
            if (!m_afterCr)
                endLine(out);
            m_afterCr = false;
            continue;
        }
        m_afterCr = false;
        if (m_line.size() < maxLineLength)
            m_line.push_back(c);
        else
            m_overlong = true;
    }
    return out;
}

void Modem::endLine(std::string& out) {
    out += m_overlong ? std::string("ERROR\r\n") : answer(m_line);
    m_line.clear();
    m_overlong = false;
}
