// SPDX-License-Identifier: GPL-3.0-or-later
#include "transmit/escapes.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <new>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

// Decoding runs on 1-based positions that may not pass 32767, and every escape
// it accepts is replaced wherever it occurs in the whole text. Done literally
// that costs a pass over the whole text per accepted escape, which grows
// quadratic on long texts. Here the text is a list of linked slots with an
// index of where each escape text starts, so an accepted escape costs about as
// much as the copies of it that are replaced.

namespace {

constexpr int LastPosition = 32767;
constexpr qsizetype MaxSlots = qsizetype(1) << 30;

bool isX(char16_t c) {
    return c == u'x' || c == u'X';
}

bool isH(char16_t c) {
    return c == u'h' || c == u'H';
}

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

// The digit characters read as a hexadecimal number: blanks, tabs and line
// feeds are skipped, any other non-digit ends the number, no digit gives 0.
int hexValue(const char16_t* digits, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = digits[i];
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const int digit = hexDigit(c);
        if (digit < 0)
            break;
        value = value * 16 + digit;
    }
    return value;
}

// Nothing changes unless a "0x" starts within the limit and an "h" follows it
// within the limit: every later "0x" meets that same "h" or a later one. This
// keeps long texts without escapes cheap.
bool mayChange(const QString& text) {
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    const qsizetype limit = std::min<qsizetype>(size, LastPosition);
    for (qsizetype i = 0; i < limit && i + 1 < size; ++i) {
        if (chars[i] != u'0' || !isX(chars[i + 1].unicode()))
            continue;
        for (qsizetype j = i + 2; j < limit; ++j) {
            if (isH(chars[j].unicode()))
                return true;
        }
        return false;
    }
    return false;
}

// A set of slots that answers "first member at or after" with a few word
// scans. Its size is fixed up front, so updating it never allocates.
class SlotSet {
public:
    explicit SlotSet(int size) {
        std::size_t words = std::max<std::size_t>(1, (std::size_t(size) + 63) / 64);
        for (;;) {
            m_levels.emplace_back(words, 0);
            if (words == 1)
                break;
            words = (words + 63) / 64;
        }
    }

    void set(int slot, bool member) noexcept { member ? insert(slot) : erase(slot); }

    void insert(int slot) noexcept {
        std::size_t at = std::size_t(slot);
        for (auto& level : m_levels) {
            std::uint64_t& word = level[at / 64];
            const bool wasEmpty = word == 0;
            word |= bit(at);
            if (!wasEmpty)
                break;
            at /= 64;
        }
    }

    void erase(int slot) noexcept {
        std::size_t at = std::size_t(slot);
        for (auto& level : m_levels) {
            std::uint64_t& word = level[at / 64];
            word &= ~bit(at);
            if (word != 0)
                break;
            at /= 64;
        }
    }

    // The first member at or after slot, or -1.
    int next(int slot) const noexcept {
        std::size_t at = std::size_t(slot);
        std::size_t level = 0;
        // Each level above marks the words of the one below that hold members.
        for (;;) {
            if (level == m_levels.size())
                return -1;
            const auto& words = m_levels[level];
            const std::size_t word = at / 64;
            if (word >= words.size())
                return -1;
            const std::uint64_t rest = words[word] & (~std::uint64_t(0) << (at % 64));
            if (rest != 0) {
                at = word * 64 + std::size_t(std::countr_zero(rest));
                break;
            }
            at = word + 1;
            ++level;
        }
        while (level > 0) {
            --level;
            at = at * 64 + std::size_t(std::countr_zero(m_levels[level][at]));
        }
        return int(at);
    }

private:
    static std::uint64_t bit(std::size_t at) { return std::uint64_t(1) << (at % 64); }

    std::vector<std::vector<std::uint64_t>> m_levels;
};

// 1-based positions of the live slots (a Fenwick tree over "slot is live").
class Positions {
public:
    explicit Positions(int size)
        : m_tree(std::size_t(size) + 1), m_top(std::bit_floor(unsigned(size))) {
        for (int i = 1; i <= size; ++i)
            m_tree[i] = i & -i;
    }

    void remove(int slot) noexcept {
        const std::size_t size = m_tree.size();
        for (std::size_t i = std::size_t(slot) + 1; i < size; i += i & (~i + 1))
            --m_tree[i];
    }

    int positionOf(int slot) const noexcept {
        int sum = 0;
        for (std::size_t i = std::size_t(slot) + 1; i > 0; i -= i & (~i + 1))
            sum += m_tree[i];
        return sum;
    }

    // The live slot at a position from 1 to the live count.
    int slotAt(int position) const noexcept {
        std::size_t at = 0;
        for (std::size_t step = m_top; step > 0; step /= 2) {
            if (at + step < m_tree.size() && m_tree[at + step] < position) {
                at += step;
                position -= m_tree[at];
            }
        }
        return int(at);
    }

private:
    std::vector<int> m_tree;
    std::size_t m_top;
};

// Slots are ints; a text too long for them could not be indexed in memory
// anyway, so it counts as running out of memory.
std::size_t slotCount(const QString& text) {
    if (text.size() > MaxSlots)
        throw std::bad_alloc();
    return std::size_t(text.size());
}

class Decoder {
public:
    explicit Decoder(const QString& text);

    // Runs the decoding steps until decoding ends. Can throw std::bad_alloc;
    // every replacement step is then either complete or not begun.
    void run();
    bool changed() const noexcept { return m_live != int(m_chars.size()); }
    QString takeText() noexcept;

private:
    // Identifies the escape text starting at a slot, exactly as written ("0X41h"
    // and "0x41h" differ); 0 when no escape starts there.
    std::uint64_t escapeAt(int slot) const noexcept;
    void replaceEverywhere(int startSlot, char16_t c);
    void collapse(int slot, char16_t c) noexcept;
    void unlink(int slot) noexcept;
    void noteEscapesAround(int slot);

    std::vector<char16_t> m_chars;
    std::vector<int> m_next; // neighbouring live slots, -1 past either end
    std::vector<int> m_prev;
    std::vector<bool> m_gone;
    Positions m_positions;
    SlotSet m_zeroX; // live slots holding "0" before an "x" or "X"
    SlotSet m_hs;    // live slots holding "h" or "H"
    // Slots where each escape text starts. Entries go stale as the text
    // changes and are checked when used; every current start is listed.
    std::unordered_map<std::uint64_t, std::vector<int>> m_starts;
    int m_live;
    QString m_out; // allocated up front so that handing out the result cannot fail
};

Decoder::Decoder(const QString& text)
    : m_chars(slotCount(text)), m_next(m_chars.size()), m_prev(m_chars.size()),
      m_gone(m_chars.size()), m_positions(int(m_chars.size())), m_zeroX(int(m_chars.size())),
      m_hs(int(m_chars.size())), m_live(int(m_chars.size())),
      m_out(text.size(), Qt::Uninitialized) {
    const int size = m_live;
    const QChar* chars = text.constData();
    for (int i = 0; i < size; ++i) {
        m_chars[i] = chars[i].unicode();
        m_next[i] = i + 1 < size ? i + 1 : -1;
        m_prev[i] = i - 1;
    }
    for (int i = 0; i < size; ++i) {
        if (isH(m_chars[i]))
            m_hs.insert(i);
        if (m_chars[i] != u'0')
            continue;
        if (i + 1 < size && isX(m_chars[i + 1]))
            m_zeroX.insert(i);
        if (const std::uint64_t key = escapeAt(i))
            m_starts[key].push_back(i);
    }
}

std::uint64_t Decoder::escapeAt(int slot) const noexcept {
    if (m_gone[slot] || m_chars[slot] != u'0')
        return 0;
    const int x = m_next[slot];
    if (x < 0 || !isX(m_chars[x]))
        return 0;
    const int first = m_next[x];
    if (first < 0 || isH(m_chars[first]))
        return 0;
    const int afterFirst = m_next[first];
    if (afterFirst < 0)
        return 0;
    int second = -1;
    int h = afterFirst;
    if (!isH(m_chars[afterFirst])) {
        second = afterFirst;
        h = m_next[second];
        if (h < 0 || !isH(m_chars[h]))
            return 0;
    }
    std::uint64_t key = std::uint64_t(1) << 63;
    key |= std::uint64_t(m_chars[first]) << 32;
    if (second >= 0)
        key |= (std::uint64_t(m_chars[second]) << 16) | 4;
    key |= m_chars[x] == u'X' ? 2 : 0;
    key |= m_chars[h] == u'H' ? 1 : 0;
    return key;
}

void Decoder::run() {
    int search = 1;
    for (;;) {
        if (search > m_live)
            return;
        const int startSlot = m_zeroX.next(m_positions.slotAt(search));
        if (startSlot < 0)
            return;
        const int start = m_positions.positionOf(startSlot);
        if (start > LastPosition)
            return;
        const int hSlot = m_hs.next(startSlot);
        const int end = hSlot < 0 ? 0 : m_positions.positionOf(hSlot);
        if (end > LastPosition)
            return;
        const int count = end - (start + 2);
        if (count < 1 || count > 2) {
            search = start + 2;
            if (search > LastPosition)
                return;
            continue;
        }
        const int first = m_next[m_next[startSlot]];
        const char16_t digits[2] = {m_chars[first], count == 2 ? m_chars[m_next[first]] : u'\0'};
        replaceEverywhere(startSlot, char16_t(hexValue(digits, count)));
        // The search goes on at the same position, now the decoded character,
        // which may start a further escape with what follows it.
        search = start;
    }
}

void Decoder::replaceEverywhere(int startSlot, char16_t c) {
    const std::uint64_t key = escapeAt(startSlot);
    std::vector<int> copies;
    if (auto listed = m_starts.find(key); listed != m_starts.end())
        copies = std::exchange(listed->second, {});
    // Listing the found escape itself makes every step shorten the text.
    copies.push_back(startSlot);
    std::erase_if(copies, [&](int slot) { return escapeAt(slot) != key; });
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());

    // Copies of one escape never overlap, so replacing them one after another
    // gives what a single left-to-right pass over the old text gives. Escapes
    // that the replacements form are listed for later steps only.
    bool indexed = true;
    for (const int slot : copies) {
        collapse(slot, c);
        if (!indexed)
            continue;
        try {
            noteEscapesAround(slot);
        } catch (const std::bad_alloc&) {
            // Finish this step so the text is not left half replaced, then stop.
            indexed = false;
        }
    }
    if (!indexed)
        throw std::bad_alloc();
}

void Decoder::collapse(int slot, char16_t c) noexcept {
    // Drop the "x", the digit characters and the closing "h".
    int at = m_next[slot];
    for (;;) {
        const bool closing = isH(m_chars[at]);
        const int following = m_next[at];
        unlink(at);
        if (closing)
            break;
        at = following;
    }
    m_chars[slot] = c;
    const int after = m_next[slot];
    m_hs.set(slot, isH(c));
    m_zeroX.set(slot, c == u'0' && after >= 0 && isX(m_chars[after]));
    if (const int before = m_prev[slot]; before >= 0)
        m_zeroX.set(before, m_chars[before] == u'0' && isX(c));
}

void Decoder::unlink(int slot) noexcept {
    const int before = m_prev[slot];
    const int after = m_next[slot];
    if (before >= 0)
        m_next[before] = after;
    if (after >= 0)
        m_prev[after] = before;
    m_gone[slot] = true;
    m_positions.remove(slot);
    m_zeroX.erase(slot);
    m_hs.erase(slot);
    --m_live;
}

void Decoder::noteEscapesAround(int slot) {
    // An escape spans at most five characters, so only one starting at the
    // changed slot or up to four before it can have changed.
    int at = slot;
    for (int i = 0; i < 5 && at >= 0; ++i, at = m_prev[at]) {
        if (const std::uint64_t key = escapeAt(at))
            m_starts[key].push_back(at);
    }
}

QString Decoder::takeText() noexcept {
    QChar* out = m_out.data();
    qsizetype size = 0;
    for (int at = m_live > 0 ? m_positions.slotAt(1) : -1; at >= 0; at = m_next[at])
        out[size++] = QChar(m_chars[at]);
    m_out.truncate(size);
    return std::move(m_out);
}

} // namespace

QString decodeEscapes(const QString& text) {
    if (!mayChange(text))
        return text;
    std::optional<Decoder> decoder;
    try {
        decoder.emplace(text);
    } catch (const std::bad_alloc&) {
        return text;
    }
    try {
        decoder->run();
    } catch (const std::bad_alloc&) {
        // Out of memory: what was decoded so far stands.
    }
    if (!decoder->changed())
        return text;
    return decoder->takeText();
}
