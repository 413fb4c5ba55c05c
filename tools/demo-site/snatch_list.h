#pragma once
// The member's snatch list: which torrents, with what figures, and the JSON text the site's
// DataTables endpoint answers with.

#include <QByteArray>
#include <vector>

#include "demo_site.h"

namespace pelloran::demo {

// The member's snatches, newest first: `count` torrents picked from the catalog by a generator
// seeded from the site seed and the member id.
std::vector<DemoSnatch> snatchesOf(const std::vector<DemoTorrent>& torrents,
                                   const DemoMember& member, quint32 seed);

// {"sEcho":1,"iTotalRecords":N,"iTotalDisplayRecords":N,"aaData":[[...],...]} on one line, escaped
// the way PHP's json_encode does: "/" as "\/" and every non-ASCII character as "\uXXXX".
QByteArray snatchListJson(const std::vector<DemoSnatch>& rows, int echo, qsizetype total);

}  // namespace pelloran::demo
