// SPDX-License-Identifier: GPL-3.0-or-later
#include "pty.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void throwErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

} // namespace

Pty::Pty() {
    try {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_master < 0)
            throwErrno("cannot open a pseudo-terminal");
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            throwErrno("cannot unlock the pseudo-terminal");
        const char* name = ::ptsname(m_master);
        if (!name)
            throwErrno("cannot name the pseudo-terminal");
        m_path = name;

        m_slave = ::open(m_path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (m_slave < 0)
            throwErrno("cannot open the pseudo-terminal's slave side");
        // Raw, so every byte value passes untouched and nothing is echoed back.
        termios t{};
        if (::tcgetattr(m_slave, &t) != 0)
            throwErrno("cannot read the terminal settings");
        ::cfmakeraw(&t);
        if (::tcsetattr(m_slave, TCSANOW, &t) != 0)
            throwErrno("cannot make the terminal raw");

        const int flags = ::fcntl(m_master, F_GETFL);
        if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
            throwErrno("cannot make the pseudo-terminal non-blocking");
    } catch (...) {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
        throw;
    }
}

Pty::~Pty() {
    ::close(m_slave);
    ::close(m_master);
}

std::size_t Pty::unread() const {
    int n = 0;
    if (::ioctl(m_slave, FIONREAD, &n) != 0 || n < 0)
        return 0;
    return static_cast<std::size_t>(n);
}
