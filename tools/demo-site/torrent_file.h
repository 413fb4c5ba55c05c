#pragma once
// Real .torrent files for the catalog: single-file, private, with SHA-1 piece hashes of
// deterministic pseudo-random content (1 to 4 MB per torrent, whatever the listed size says).

#include <QByteArray>
#include <QString>

#include "demo_site.h"

namespace pelloran::demo {

class TorrentFileFactory {
public:
    // announceUrl: the tracker address written into every file (it carries the site's port).
    TorrentFileFactory(quint32 seed, QString announceUrl);
    QByteArray build(const DemoTorrent& torrent) const;

    static constexpr int kPieceLength = 262144;

private:
    QString announceUrl_;
    // The content repeats one piece-sized block, so every full piece has the same hash and a
    // catalog of hundreds of files costs one block hash plus one short hash per file.
    QByteArray block_;
    QByteArray blockHash_;
    quint32 seed_;
};

}  // namespace pelloran::demo
