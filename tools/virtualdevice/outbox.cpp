// SPDX-License-Identifier: GPL-3.0-or-later
#include "outbox.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

std::size_t Outbox::flush(int fd) {
    std::size_t written = 0;
    while (!empty()) {
        const ssize_t n = ::write(fd, m_data.data() + m_head, size());
        if (n > 0) {
            m_head += static_cast<std::size_t>(n);
            written += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw std::system_error(errno, std::generic_category(), "cannot write to the device");
        break; // full for now
    }
    if (empty()) {
        m_data.clear();
        m_head = 0;
    } else if (m_head > 65536 && m_head > m_data.size() / 2) {
        m_data.erase(0, m_head);
        m_head = 0;
    }
    return written;
}
