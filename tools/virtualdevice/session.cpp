// SPDX-License-Identifier: GPL-3.0-or-later
#include "session.h"

#include "modem.h"
#include "outbox.h"
#include "pty.h"
#include "stopsignals.h"
#include "streamtext.h"
#include "tokenbucket.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <optional>
#include <poll.h>
#include <system_error>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Answers beyond this wait before more input is read, so a reader that
// never reads cannot make the device hoard memory.
constexpr std::size_t maxPending = 256 * 1024;

int pollTimeout(Clock::duration d) {
    if (d <= Clock::duration::zero())
        return 0;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(d).count();
    return static_cast<int>(std::min<decltype(ms)>(ms, INT_MAX));
}

int earliest(int a, int b) {
    if (a < 0)
        return b;
    if (b < 0)
        return a;
    return std::min(a, b);
}

// Everything the master has for us right now.
void readInput(int fd, std::string& into) {
    char buf[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            into.append(buf, static_cast<std::size_t>(n));
            if (into.size() >= maxPending)
                return;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw std::system_error(errno, std::generic_category(), "cannot read from the device");
        return;
    }
}

// After a stop, gives a connected reader the chance to take what is still
// queued, since closing the master discards it. Without a reader this ends
// as soon as nothing moves; a second stop signal ends it at once.
void drain(int fd, Outbox& out, std::uint64_t& sent, const Pty& pty, StopSignals& stop) {
    constexpr auto limit = std::chrono::seconds(1);
    constexpr auto stillFor = std::chrono::milliseconds(100);
    const auto start = Clock::now();
    auto lastMove = start;
    std::size_t left = out.size() + pty.unread();
    while (left > 0) {
        sent += out.flush(fd);
        const auto now = Clock::now();
        const std::size_t nowLeft = out.size() + pty.unread();
        if (nowLeft < left)
            lastMove = now;
        left = nowLeft;
        if (left == 0 || now - start >= limit || now - lastMove >= stillFor)
            break;
        pollfd fds[2] = {{stop.fd(), POLLIN, 0}, {fd, short(out.empty() ? 0 : POLLOUT), 0}};
        if (::poll(fds, 2, 10) > 0 && (fds[0].revents & POLLIN) && stop.take())
            break;
    }
}

} // namespace

std::uint64_t runDevice(const Options& options, Pty& pty, StopSignals& stop) {
    const int fd = pty.master();
    const bool streaming = options.mode == DeviceMode::Stream;
    const auto start = Clock::now();
    std::optional<Clock::time_point> deadline;
    if (options.seconds)
        deadline = start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(*options.seconds));

    Modem modem;
    StreamText text(options.newlines);
    // Write in pieces of about 10 ms worth, but never wait for more than the
    // bucket holds (a quarter second, so a stalled reader gets a bounded burst).
    const double rate = static_cast<double>(options.rate);
    const std::size_t piece = std::clamp<std::uint64_t>(options.rate / 100, 1, 16384);
    TokenBucket bucket(rate, std::max(2.0 * static_cast<double>(piece), rate / 4), start);

    Outbox out;
    std::uint64_t sent = 0;
    std::string input;
    std::string fresh;

    for (;;) {
        const auto now = Clock::now();
        if (deadline && now >= *deadline)
            break;
        if (streaming && out.empty()) {
            bucket.refill(now);
            // Capped, so a high rate with a slower reader never builds a huge chunk;
            // what is left of the credit goes out on the next turns.
            const std::size_t n = std::min(bucket.available(), maxPending);
            if (n >= piece) {
                fresh.clear();
                text.take(n, fresh);
                bucket.spend(n);
                out.append(fresh);
            }
        }
        sent += out.flush(fd);

        int timeout = deadline ? pollTimeout(*deadline - now) : -1;
        if (streaming && out.empty())
            timeout = earliest(timeout, pollTimeout(bucket.timeUntil(piece)));
        const bool wantInput = out.size() < maxPending;
        pollfd fds[2] = {{stop.fd(), POLLIN, 0},
                         {fd, short((wantInput ? POLLIN : 0) | (out.empty() ? 0 : POLLOUT)), 0}};
        if (::poll(fds, 2, timeout) < 0) {
            if (errno == EINTR)
                continue;
            throw std::system_error(errno, std::generic_category(), "cannot wait for the device");
        }
        if ((fds[0].revents & POLLIN) && stop.take())
            break;
        // Our own slave descriptor keeps the pair up, so this means it was forced down.
        if ((fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) && !(fds[1].revents & POLLIN))
            throw std::system_error(EIO, std::generic_category(), "the pseudo-terminal hung up");
        if (wantInput && (fds[1].revents & POLLIN)) {
            input.clear();
            readInput(fd, input);
            // What the terminal sends to a stream is read and dropped, so its writes never stall.
            if (options.mode == DeviceMode::Echo)
                out.append(input);
            else if (options.mode == DeviceMode::Modem)
                out.append(modem.feed(input));
        }
    }

    drain(fd, out, sent, pty, stop);
    return sent;
}
