// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstddef>

// Paces a byte stream by elapsed time: credit grows at `rate` bytes per second
// up to `capacity`, so late wake-ups do not slow the average rate down and a
// stalled reader does not cause an unbounded burst afterwards.
class TokenBucket {
public:
    using Clock = std::chrono::steady_clock;

    TokenBucket(double rate, double capacity, Clock::time_point start);

    // Adds the credit earned since the previous call.
    void refill(Clock::time_point now);
    // Whole bytes that may go now.
    std::size_t available() const;
    void spend(std::size_t bytes);
    // How long until `bytes` may go (zero if they may go now).
    Clock::duration timeUntil(std::size_t bytes) const;

private:
    double m_rate;
    double m_capacity;
    double m_tokens = 0;
    Clock::time_point m_last;
};
