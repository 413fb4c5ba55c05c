#include "content_pages.h"

#include <QStringList>

#include "catalog.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

const QStringList& threadTitles() {
    static const QStringList titles = {
        QStringLiteral("Site rules - read before posting"),
        QStringLiteral("Request: documentaries in 720p"),
        QStringLiteral("Seeding tips for new members"),
        QStringLiteral("Which client do you use? (uTorrent / Transmission / Vuze)"),
        QStringLiteral("Café & music recommendations"),
    };
    return titles;
}

QString imdbLink(const QString& imdbId) {
    return QStringLiteral("<a href=\"http://www.imdb.com/title/%1/\" target=\"_blank\">IMDb</a>")
        .arg(imdbId);
}

QString description(const DemoTorrent& t) {
    const DemoCategory* category = categoryById(t.categoryId);
    return QStringLiteral(
               "<p>Uploaded by <a href=\"/profile/%1\">%2</a> in %3.</p>\n"
               "<p>Release notes: untouched source, checked before upload. Please seed "
               "back at least 1:1.</p>\n")
        .arg(percentEncodePath(t.uploader), htmlEscape(t.uploader),
             htmlEscape(category ? category->name : QStringLiteral("Other")));
}

}  // namespace

QString detailsPage(const SiteContext& site, const DemoMember& viewer, const DemoTorrent& t) {
    QString body =
        QStringLiteral(
            "<div id=\"pageTools\"><a href=\"/torrents/browse\">&laquo; Back to browse</a> | "
            "<a href=\"/report/torrent/%1\">Report</a></div>\n")
            .arg(QString::number(t.id));
    body += QStringLiteral(
        "<div id=\"sidebar\">\n<div class=\"box\"><h3>Top this week</h3>"
        "<p>Most snatched releases.</p></div>\n</div>\n");
    body += QStringLiteral("<div id=\"torrent\">\n<h2>") + t.nameHtml + QStringLiteral("</h2>\n");
    body += QStringLiteral(
                "<table class=\"info\">\n"
                "<tr><th>Size</th><td>%1</td></tr>\n"
                "<tr><th>Added</th><td>%2</td></tr>\n"
                "<tr><th>Peers</th><td>%3 seeders, %4 leechers</td></tr>\n"
                "</table>\n")
                .arg(t.sizeText, t.date, QString::number(t.seeders), QString::number(t.leechers));
    body += QStringLiteral("<div class=\"description\">\n") + description(t);
    if (!t.imdbId.isEmpty()) {
        body +=
            QStringLiteral("<p>More information: ") + imdbLink(t.imdbId) + QStringLiteral("</p>\n");
    }
    body += QStringLiteral("</div>\n");
    body += QStringLiteral(
                "<div class=\"actions\"><button id=\"downloadButton\">Download</button> "
                "<a href=\"") +
            t.downloadHref + QStringLiteral("\">.torrent file</a></div>\n");
    body += QStringLiteral("</div>\n");
    body += QStringLiteral(
        "<div id=\"pageTools\"><a href=\"#top\">Top</a> | "
        "<a href=\"/torrents/browse\">Browse</a></div>\n");
    body += QStringLiteral("<div id=\"comments\">\n<h3>Comments (%1)</h3>\n")
                .arg(QString::number(t.comments));
    if (t.comments > 0) {
        body +=
            QStringLiteral("<div class=\"comment\"><b>x264fan</b>: Thanks for the upload!</div>\n");
    }
    if (!t.imdbId.isEmpty() && t.id % 3 == 0) {
        body += QStringLiteral("<div class=\"comment\"><b>nightowl</b>: Rated well, see ") +
                imdbLink(QStringLiteral("tt0000001")) + QStringLiteral("</div>\n");
    }
    body += QStringLiteral("</div>\n");
    return sitePage(site, &viewer, pageTitle(QStringLiteral("Details for ") + t.name), body);
}

QString profilePage(const SiteContext& site, const DemoMember& viewer, const QString& name,
                    const std::optional<DemoMember>& profile, int uploads) {
    if (!profile) {
        return sitePage(site, &viewer, pageTitle(QStringLiteral("Profile")),
                        QStringLiteral("<div class=\"error\">No such member: ") + htmlEscape(name) +
                            QStringLiteral("</div>\n"));
    }
    QString body =
        QStringLiteral(
            "<div id=\"pageTools\"><a href=\"/messages/compose/%1\">Send message</a></div>\n")
            .arg(percentEncodePath(profile->name));
    body += QStringLiteral("<div id=\"profile\">\n<h2>") + htmlEscape(profile->name) +
            QStringLiteral("</h2>\n");
    body += QStringLiteral(
                "<table class=\"info\">\n"
                "<tr><th>Member id</th><td>%1</td></tr>\n"
                "<tr><th>Uploaded</th><td>%2</td></tr>\n"
                "<tr><th>Downloaded</th><td>%3</td></tr>\n"
                "<tr><th>Ratio</th><td>%4</td></tr>\n"
                "<tr><th>Torrents uploaded</th><td>%5</td></tr>\n"
                "</table>\n</div>\n")
                .arg(profile->id, profile->uploaded, profile->downloaded, profile->ratio,
                     QString::number(uploads));
    return sitePage(site, &viewer, pageTitle(QStringLiteral("Profile of ") + profile->name), body);
}

QString homePage(const SiteContext& site, const DemoMember& member,
                 const std::vector<DemoTorrent>& newest) {
    QString body =
        QStringLiteral("<h2>Welcome back, ") + htmlEscape(member.name) +
        QStringLiteral(
            "</h2>\n<div class=\"news\"><h3>News</h3><p>The demo tracker is running on "
            "made-up data. Nothing here is real.</p></div>\n<h3>Newest uploads</h3>\n<ul>\n");
    for (const DemoTorrent& t : newest) {
        body += QStringLiteral("<li><a href=\"") + t.detailsHref + QStringLiteral("\">") +
                t.nameHtml + QStringLiteral("</a> (") + t.sizeText + QStringLiteral(")</li>\n");
    }
    body += QStringLiteral("</ul>\n");
    return sitePage(site, &member, pageTitle(QStringLiteral("Home")), body);
}

QString forumIndex(const SiteContext& site) {
    QString body = QStringLiteral("<h2>Forums</h2>\n<ul class=\"threads\">\n");
    for (int i = 0; i < threadTitles().size(); ++i) {
        body += QStringLiteral("<li><a href=\"/thread/%1\">").arg(QString::number(i + 1)) +
                htmlEscape(threadTitles().at(i)) + QStringLiteral("</a></li>\n");
    }
    body += QStringLiteral("</ul>\n<p><a href=\"http://%1/\">Back to the tracker</a></p>\n")
                .arg(site.siteHost);
    return sitePage(site, nullptr, pageTitle(QStringLiteral("Forums")), body);
}

QString forumThread(const SiteContext& site, int thread) {
    if (thread < 1 || thread > threadTitles().size()) {
        return {};
    }
    const QString title = threadTitles().at(thread - 1);
    const QString body =
        QStringLiteral("<h2>") + htmlEscape(title) +
        QStringLiteral(
            "</h2>\n<div class=\"post\"><b>ReleaseBot</b>: First post. Be nice.</div>\n"
            "<div class=\"post\"><b>Zoë</b>: Agreed &mdash; see the "
            "<a href=\"http://%1/torrents/browse\">tracker</a>.</div>\n"
            "<p><a href=\"/\">All threads</a></p>\n")
            .arg(site.siteHost);
    return sitePage(site, nullptr, pageTitle(title), body);
}

}  // namespace pelloran::demo
