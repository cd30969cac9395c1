// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// How received bytes are shown in the log.
enum class ReceivedAs {
    Designed, // one character per byte, as they came
    Utf8,     // valid UTF-8 as characters; every other byte as its 0xNNh escape
    Hex,      // rows of hex pairs with the printable characters beside them
};

// Turns the characters of one Received entry (one per byte) into the text the
// log shows. What it shows never changes the entry's bytes themselves.
//
// In UTF-8 a character whose bytes are split between two entries is held back
// and shown whole at the start of the next entry; so is an escape sequence cut
// off while terminal codes are stripped.
class ReceivedDisplay {
public:
    static constexpr int HexRowBytes = 16;

    void setMode(ReceivedAs mode) { m_mode = mode; }
    ReceivedAs mode() const { return m_mode; }
    // Strips ANSI escape sequences in the text modes; hex shows every byte.
    void setStripTerminalCodes(bool on) { m_strip = on; }
    bool stripsTerminalCodes() const { return m_strip; }

    // The text to show for one entry. Hex rows after the first are indented
    // by `indent` spaces, under the first; with `lastRows` above 0 only the
    // entry's last rows are made (a view keeping fewer lines needs no more).
    QString show(const QString& Data, int indent = 0, qsizetype lastRows = 0);

    // Whether bytes wait for the next entry, and those bytes shown as they
    // are, for when no more come.
    bool holding() const { return !m_held.isEmpty(); }
    QString takeHeld(int indent = 0);

private:
    QString format(const QString& data, int indent, qsizetype lastRows, bool final);

    ReceivedAs m_mode = ReceivedAs::Designed;
    bool m_strip = false;
    QString m_held;
};

// One 0xNNh escape per byte, as the escape notation writes it.
void appendByteEscape(QString& out, unsigned char byte);
