#pragma once
// Tells a page that holds torrent rows from one that holds none, without reading the rows: a
// listing whose rows no longer fit the row pattern must not pass for the end of the listing.
// Both tests are bounded by the caller's regex budget; a spent budget answers false.

#include <QString>

namespace pelloran {

namespace text {
class RegexBudget;
}

// The row links to a torrent's details page or to its .torrent file, however the site writes
// the link: quoted or not, in any letter case, with other attributes first, relative or
// absolute ("/torrent/12/x", "details.php?id=12", "/download/12/x.torrent",
// "torrents.php?action=download&amp;id=12").
bool linksToTorrent(const QString& row, text::RegexBudget& budget);

// The row gives its size in a unit the listing leaves out on purpose (KB, TB): such a row is
// skipped, not misread.
bool hasSkippedSizeUnit(const QString& row, text::RegexBudget& budget);

}  // namespace pelloran
