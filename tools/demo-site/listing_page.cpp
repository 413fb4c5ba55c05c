#include "listing_page.h"

#include <QStringList>

#include "url_codec.h"

namespace pelloran::demo {

namespace {

QString pagePath(const ListingQuery& query, int page) {
    QString path = QStringLiteral("/torrents/browse/index/");
    if (query.search) {
        path += QStringLiteral("query/") +
                percentEncodePath(*query.search).replace(QLatin1Char('/'), QLatin1String("%2F")) +
                QLatin1Char('/');
    }
    if (!query.categories.isEmpty()) {
        QStringList ids;
        for (int id : query.categories) {
            ids << QString::number(id);
        }
        path += QStringLiteral("categories/") + ids.join(QLatin1Char(',')) + QLatin1Char('/');
    }
    if (!query.orderBy.isEmpty()) {
        path += QStringLiteral("orderby/") + query.orderBy + QLatin1Char('/');
    }
    path += query.ascending ? QStringLiteral("order/asc/") : QStringLiteral("order/desc/");
    return path + QStringLiteral("page/") + QString::number(page);
}

QString pager(const ListingQuery& query, int pageCount) {
    QString out = QStringLiteral("<div class=\"pager\">Page ") + QString::number(query.page) +
                  QStringLiteral(" of ") + QString::number(pageCount);
    if (query.page > 1) {
        out +=
            QStringLiteral(" <a href=\"%1\">&laquo; Prev</a>").arg(pagePath(query, query.page - 1));
    }
    if (query.page < pageCount) {
        out +=
            QStringLiteral(" <a href=\"%1\">Next &raquo;</a>").arg(pagePath(query, query.page + 1));
    }
    return out + QStringLiteral("</div>\n");
}

}  // namespace

QString listingRow(const SiteContext& site, const DemoTorrent& t) {
    const QString id = QString::number(t.id);
    // KB rows look like every other row: a client must leave them out on its own.
    QString out = QStringLiteral("<tr class=\"torrentRow%1\" id=\"torrent_%2\">\n")
                      .arg(t.sizeInKb() ? QStringLiteral(" small") : QString(), id);
    out += QStringLiteral(
               "  <td class=\"category\"><a href=\"/torrents/browse/index/categories/%1\">"
               "<img alt=\"Category\" src=\"http://%2/images/categories/%3\" /></a></td>\n")
               .arg(QString::number(t.categoryId), site.siteHost, t.categoryImage);
    out += QStringLiteral("  <td class=\"name\"><a href=\"") + t.detailsHref +
           QStringLiteral("\">") + t.nameHtml +
           QStringLiteral("</a><br /><span class=\"uploader\">by <a href=\"/profile/") +
           percentEncodePath(t.uploader) + QStringLiteral("\">") + htmlEscape(t.uploader) +
           QStringLiteral("</a></span> on ") + t.date + QStringLiteral("</td>\n");
    out += QStringLiteral("  <td class=\"download\"><a href=\"") + t.downloadHref +
           QStringLiteral("\"><img src=\"/images/dl.png\" alt=\"Download\" /></a></td>\n");
    out += QStringLiteral("  <td class=\"comments\"><a href=\"") + t.detailsHref +
           QStringLiteral("#comments\">") + QString::number(t.comments) +
           QStringLiteral("</a></td>\n");
    out += QStringLiteral("  <td>") + t.sizeText + QStringLiteral("</td>\n");
    out += QStringLiteral("  <td>") + QString::number(t.snatched) + QStringLiteral("</td>\n");
    out += QStringLiteral("  <td class=\"seeders\">") + QString::number(t.seeders) +
           QStringLiteral("</td>\n");
    out += QStringLiteral("  <td class=\"leechers\">") + QString::number(t.leechers) +
           QStringLiteral("</td>\n");
    return out + QStringLiteral("</tr>\n");
}

QString listingPage(const SiteContext& site, const DemoMember& member,
                    const ListingPageData& data) {
    QString body = QStringLiteral(
        "<form class=\"search\" action=\"/torrents/browse/index/\" method=\"get\">"
        "<input type=\"text\" name=\"search\" value=\"\" /> <input type=\"submit\" "
        "value=\"Search\" /></form>\n");
    if (data.query.search) {
        body += QStringLiteral("<h2>Search results for &quot;") + htmlEscape(*data.query.search) +
                QStringLiteral("&quot; (") + QString::number(data.totalRows) +
                QStringLiteral(")</h2>\n");
    } else {
        body += QStringLiteral("<h2>Browse torrents</h2>\n");
    }
    body += QStringLiteral(
        "<table class=\"torrents\" id=\"torrentTable\">\n"
        "<tr><th>Type</th><th>Name</th><th>DL</th><th>Comments</th><th>Size</th><th>Snatched</th>"
        "<th>Seeders</th><th>Leechers</th></tr>\n");
    for (const DemoTorrent* t : data.rows) {
        body += listingRow(site, *t);
    }
    body += QStringLiteral("</table>\n");
    if (data.rows.empty()) {
        body += QStringLiteral("<p class=\"empty\">Nothing found.</p>\n");
    }
    body += pager(data.query, data.pageCount);
    const QString title = data.query.search ? pageTitle(QStringLiteral("Search"))
                                            : pageTitle(QStringLiteral("Browse"));
    return sitePage(site, &member, title, body);
}

}  // namespace pelloran::demo
