#pragma once
// Which torrents a listing shows and in what order.

#include <vector>

#include "demo_site.h"

namespace pelloran::demo {

// All torrents the query selects (every page), in listing order.
std::vector<const DemoTorrent*> selectTorrents(const std::vector<DemoTorrent>& torrents,
                                               const ListingQuery& query);
// One page of a selection; empty past the last page.
std::vector<const DemoTorrent*> pageOf(const std::vector<const DemoTorrent*>& selection, int page,
                                       int rowsPerPage);
int pageCountOf(qsizetype rows, int rowsPerPage);

}  // namespace pelloran::demo
