#pragma once
// Shared by the libFuzzer harnesses: the input as page text, a bounded regex budget, and a
// check that stops the run (so libFuzzer keeps the input) when a property fails.

#include "text/regex.h"

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace pelloran::fuzz {

// Pages come as bytes; readers take text. Invalid UTF-8 becomes U+FFFD, as it does for a page.
inline QString textOf(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QByteArray bytesOf(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// A tenth of the program's own budget: a run-away match still ends as no match, sooner, so
// that the fuzzer spends its time on new inputs rather than on one slow one.
inline void boundRegexWork() {
    text::setRegexStepBudget(text::kDefaultRegexStepBudget / 10);
}

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "property failed: %s\n", what);
    std::abort();
}

inline void check(bool holds, const char* what) {
    if (!holds) {
        fail(what);
    }
}

}  // namespace pelloran::fuzz
