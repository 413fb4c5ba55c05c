#pragma once
// The browse, search and favorites listing page: a table of torrent rows.

#include <QString>
#include <vector>

#include "demo_site.h"
#include "page_frame.h"

namespace pelloran::demo {

struct ListingPageData {
    const ListingQuery& query;
    const std::vector<const DemoTorrent*>& rows;  // this page's rows
    int pageCount = 0;
    qsizetype totalRows = 0;
};

QString listingPage(const SiteContext& site, const DemoMember& member, const ListingPageData& data);
// One table row. Rows sized in KB open their <tr> tag over two lines (the site adds a title
// attribute to them); see listing_page.cpp.
QString listingRow(const SiteContext& site, const DemoTorrent& torrent);

}  // namespace pelloran::demo
