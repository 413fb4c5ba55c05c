#pragma once
// The loopback fake BitTorrent-client web interfaces: FakeVuze, FakeUtorrent and
// FakeQBittorrent (the answers of qBittorrent 5.2 that Debian's 4.5.2 can't give).
// Typical use in a test:
//   pelloran::fake::FakeUtorrent utorrent;
//   ASSERT_TRUE(utorrent.start());            // 127.0.0.1, ephemeral port
//   ... point the remote settings at utorrent.hostPort(), push ...
//   ASSERT_EQ(utorrent.addedTorrents().size(), 1u);

#include "fake_qbittorrent.h"
#include "fake_utorrent.h"
#include "fake_vuze.h"
