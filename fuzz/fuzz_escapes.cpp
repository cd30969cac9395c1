// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for decodeEscapes. Every input is decoded and checked
// against the plain statement of the rules; the result may never be longer
// than the input, and a text without "0x" must come back unchanged. A hang
// shows up as a libFuzzer timeout.

#include "escapesreference.h"
#include "transmit/escapes.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& input) {
    std::fprintf(stderr, "decodeEscapes: %s (input of %lld characters)\n", what,
                 static_cast<long long>(input.size()));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2)
        return 0;
    // The first byte says how the rest becomes text: bit 1 reads UTF-16 pairs
    // instead of one character per byte; low bits 00001 put a long filler in,
    // at the place the second byte picks, so that the text crosses position
    // 32767 (rarely, as those inputs are slow to check).
    const std::uint8_t mode = data[0];
    const std::uint8_t split = data[1];
    data += 2;
    size -= 2;
    QString text;
    if (mode & 2) {
        for (std::size_t i = 0; i + 1 < size; i += 2)
            text += QChar(char16_t(data[i] | (data[i + 1] << 8)));
    } else {
        text = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    }
    if ((mode & 0x1F) == 1) {
        const qsizetype at = text.isEmpty() ? 0 : split % (text.size() + 1);
        text.insert(at, QString(32740 + 2 * (mode >> 5), u'.'));
    }

    const QString decoded = decodeEscapes(text);
    if (decoded.size() > text.size())
        fail("result longer than the input", text);
    if (!text.contains(QStringLiteral("0x"), Qt::CaseInsensitive) && decoded != text)
        fail("text without escapes changed", text);
    const std::u16string expected = referenceDecodeEscapes(
        std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
    if (std::u16string(reinterpret_cast<const char16_t*>(decoded.utf16()),
                       std::size_t(decoded.size())) != expected)
        fail("result differs from the rules", text);
    return 0;
}
