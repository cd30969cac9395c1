// SPDX-License-Identifier: GPL-3.0-or-later
#include "stopsignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace {

volatile sig_atomic_t writeEnd = -1;
constexpr int stopSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    if (writeEnd >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
    }
    errno = saved;
}

void setFlags(int fd) {
    if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK) != 0 ||
        ::fcntl(fd, F_SETFD, FD_CLOEXEC) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot set up signal handling");
}

} // namespace

StopSignals::StopSignals() {
    int fds[2];
    if (::pipe(fds) != 0)
        throw std::system_error(errno, std::generic_category(), "cannot set up signal handling");
    m_read = fds[0];
    m_write = fds[1];
    try {
        setFlags(m_read);
        setFlags(m_write);
    } catch (...) {
        ::close(m_read);
        ::close(m_write);
        throw;
    }
    writeEnd = m_write;

    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (const int s : stopSignals)
        ::sigaction(s, &sa, nullptr);
}

StopSignals::~StopSignals() {
    for (const int s : stopSignals)
        std::signal(s, SIG_DFL);
    writeEnd = -1;
    ::close(m_read);
    ::close(m_write);
}

bool StopSignals::take() {
    bool any = false;
    char buf[64];
    while (::read(m_read, buf, sizeof buf) > 0)
        any = true;
    return any;
}
