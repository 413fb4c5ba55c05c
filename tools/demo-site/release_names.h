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

// Uploader profile names used by the catalog.
const QStringList& uploaderNames();

}  // namespace pelloran::demo
