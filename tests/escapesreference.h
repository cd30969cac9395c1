// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

// The escape decoding rules written as plainly as possible: 1-based positions,
// one search at a time, a fresh text for every replacement. Slow on purpose and
// independent of the real decoder, which the tests and the fuzz target compare
// against it.
inline std::u16string referenceDecodeEscapes(std::u16string text) {
    const std::size_t last = 32767;
    auto isX = [](char16_t c) { return c == u'x' || c == u'X'; };
    auto isH = [](char16_t c) { return c == u'h' || c == u'H'; };
    auto at = [&](std::size_t position) { return text[position - 1]; };

    std::size_t search = 1;
    for (;;) {
        std::size_t start = 0;
        for (std::size_t p = search; p < text.size(); ++p) {
            if (at(p) == u'0' && isX(at(p + 1))) {
                start = p;
                break;
            }
        }
        if (start == 0 || start > last)
            return text;

        std::size_t end = 0;
        for (std::size_t p = start; p <= text.size(); ++p) {
            if (isH(at(p))) {
                end = p;
                break;
            }
        }
        if (end > last)
            return text;

        const long count = long(end) - long(start + 2);
        if (count < 1 || count > 2) {
            search = start + 2;
            if (search > last)
                return text;
            continue;
        }

        const std::u16string digits = text.substr(start + 1, std::size_t(count));
        int value = 0;
        for (const char16_t c : digits) {
            if (c == u' ' || c == u'\t' || c == u'\n')
                continue;
            int digit = -1;
            if (c >= u'0' && c <= u'9')
                digit = c - u'0';
            else if (c >= u'a' && c <= u'f')
                digit = c - u'a' + 10;
            else if (c >= u'A' && c <= u'F')
                digit = c - u'A' + 10;
            if (digit < 0)
                break;
            value = value * 16 + digit;
        }

        // The escape exactly as written; for a lower-case one that is
        // "0x" + digits + "h".
        const std::u16string escape = text.substr(start - 1, end - start + 1);
        std::u16string replaced;
        std::size_t from = 0;
        for (;;) {
            const std::size_t found = text.find(escape, from);
            if (found == std::u16string::npos)
                break;
            replaced += text.substr(from, found - from);
            replaced += char16_t(value);
            from = found + escape.size();
        }
        replaced += text.substr(from);
        text = replaced;
        search = start;
    }
}
