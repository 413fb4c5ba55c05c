#pragma once
// The site's other HTML pages: torrent details, member profiles, the home page and the forum.

#include <QString>
#include <optional>

#include "demo_site.h"
#include "page_frame.h"

namespace pelloran::demo {

// <div id="middle"> holds a page-tools bar, a sidebar, the <div id="torrent"> block (name, size,
// description, IMDb link on about half the films and shows, the download button) and a second
// page-tools bar and the comments after it.
QString detailsPage(const SiteContext& site, const DemoMember& viewer, const DemoTorrent& torrent);
// <div id="middle"> with a page-tools bar and a <div id="profile"> block; an unknown member gets
// a "No such member" page without the profile block.
QString profilePage(const SiteContext& site, const DemoMember& viewer, const QString& name,
                    const std::optional<DemoMember>& profile, int uploads);
QString homePage(const SiteContext& site, const DemoMember& member,
                 const std::vector<DemoTorrent>& newest);
// The forum host needs no session. Its index links threads on the forum host and the tracker.
QString forumIndex(const SiteContext& site);
QString forumThread(const SiteContext& site, int thread);  // empty for an unknown thread

}  // namespace pelloran::demo
