#pragma once
// A test that needs a real program (transmission-daemon, qbittorrent-nox, deluged) states it
// first: without the program the test is skipped, and under CI=true it fails, since CI installs
// every such program (scripts/deps).

#include "support/loopback_port.h"

#include <gtest/gtest.h>

#define PELLORAN_NEED_INSTALLED(present, program)                                  \
    do {                                                                           \
        if (!(present)) {                                                          \
            if (::pelloran::test::onCi()) {                                        \
                FAIL() << program " is not installed; scripts/deps installs it";   \
            }                                                                      \
            GTEST_SKIP() << program " is not installed; scripts/deps installs it"; \
        }                                                                          \
    } while (0)
