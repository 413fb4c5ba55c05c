#pragma once
// The site's category table and its generated torrents.

#include <QList>
#include <QString>
#include <vector>

#include "demo_site.h"

namespace pelloran::demo {

// The 27 choosable categories, in the order of the site's category menu.
const std::vector<DemoCategory>& categoryTable();
const DemoCategory* categoryById(int id);
// Short text drawn on a category's badge picture ("HD", "PS3").
QString categoryBadge(int id);
// Category ids a listing URL selects: section ids stand for their categories; unknown ids
// select nothing. Empty input selects every category (empty result means "all").
QList<int> expandCategoryIds(const QList<int>& ids);

// Deterministic torrents, oldest first (ids and dates grow together). torrentFile stays empty.
std::vector<DemoTorrent> generateTorrents(int count, quint32 seed);

// Size as the listing prints it: two decimals and GB, MB or KB.
QString listingSizeText(qint64 bytes);

}  // namespace pelloran::demo
