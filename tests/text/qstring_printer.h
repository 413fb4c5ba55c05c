#pragma once
// Readable GoogleTest output for Qt strings: failures show the text (non-ASCII and control
// characters as \uXXXX) instead of raw bytes.

#include <QString>
#include <ostream>

// Found by argument-dependent lookup, so it must live in QString's (global) namespace.
inline void PrintTo(const QString& text, std::ostream* os) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    *os << '"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u < 0x7F && u != u'\\' && u != u'"') {
            *os << char(u);
        } else {
            *os << "\\u" << kHex[(u >> 12) & 0xF] << kHex[(u >> 8) & 0xF] << kHex[(u >> 4) & 0xF]
                << kHex[u & 0xF];
        }
    }
    *os << '"';
}
