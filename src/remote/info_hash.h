#pragma once
// The identity of a torrent as clients know it: the hash of the bencoded value of the file's
// "info" key, byte for byte as it stands in the file. Used to ask a client whether it holds a
// torrent it refused to add.
//
// The reader walks the bencoding without building anything: bounded nesting, lengths checked
// against the bytes there are, so a broken or hostile file gives no answer rather than a crash.
// Pure and thread-safe.

#include <QByteArray>
#include <optional>

namespace pelloran {

struct InfoHashes {
    QByteArray v1;  // SHA-1 of the info value, 40 lowercase hex digits
    QByteArray v2;  // SHA-256 of the same bytes cut to 20 bytes (40 hex digits): the id clients
                    // give a torrent whose info is version 2 only
};

// Offset and length of the bencoded value of the top-level key "info" when `torrent` is one
// well-formed bencoded dictionary (nothing after it) holding such a key whose value is itself a
// dictionary; absent otherwise.
std::optional<std::pair<qsizetype, qsizetype>> infoValueSpan(const QByteArray& torrent);

// The hashes of that value; absent when the file holds none.
std::optional<InfoHashes> torrentInfoHashes(const QByteArray& torrent);

}  // namespace pelloran
