#pragma once
// The loopback fake BitTorrent-client web interfaces: FakeVuze and FakeUtorrent.
// Typical use in a test:
//   pelloran::fake::FakeUtorrent utorrent;
//   ASSERT_TRUE(utorrent.start());            // 127.0.0.1, ephemeral port
//   ... point the remote settings at utorrent.hostPort(), push ...
//   ASSERT_EQ(utorrent.addedTorrents().size(), 1u);

#include "fake_utorrent.h"
#include "fake_vuze.h"
