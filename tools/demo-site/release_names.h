#pragma once
// Release names that look like a tracker's: scene-style film and show names, "Artist - Album
// (Year) [FLAC]", games, books, applications and anime, with accents, CJK titles, "&" and
// quotes mixed in.

#include <QRandomGenerator>
#include <QString>

namespace pelloran::demo {

// A name for a torrent of the category. `unusual` picks from the pools with "&", quotes,
// accented and CJK titles, so small catalogs still carry them.
QString releaseName(int categoryId, QRandomGenerator& rng, bool unusual);

// Names holding the characters that URLs and JSON must escape ("/", "?", "#", "%", quotes,
// letters outside ASCII and outside the BMP). The catalog gives them to fixed torrents, so
// every catalog of a dozen torrents or more carries them.
const QStringList& punctuatedNames();

// Uploader profile names used by the catalog.
const QStringList& uploaderNames();

}  // namespace pelloran::demo
