// SPDX-License-Identifier: GPL-3.0-or-later
#include "tokenbucket.h"

#include <algorithm>
#include <cmath>

TokenBucket::TokenBucket(double rate, double capacity, Clock::time_point start)
    : m_rate(rate), m_capacity(capacity), m_last(start) {}

void TokenBucket::refill(Clock::time_point now) {
    if (now <= m_last)
        return;
    const std::chrono::duration<double> elapsed = now - m_last;
    m_tokens = std::min(m_capacity, m_tokens + elapsed.count() * m_rate);
    m_last = now;
}

std::size_t TokenBucket::available() const {
    return static_cast<std::size_t>(std::floor(m_tokens));
}

void TokenBucket::spend(std::size_t bytes) {
    m_tokens -= static_cast<double>(bytes);
}

TokenBucket::Clock::duration TokenBucket::timeUntil(std::size_t bytes) const {
    const double missing = static_cast<double>(bytes) - m_tokens;
    if (missing <= 0)
        return Clock::duration::zero();
    const std::chrono::duration<double> wait(missing / m_rate);
    // Round up so a wake-up never comes before the credit is there.
    return std::chrono::ceil<Clock::duration>(wait);
}
