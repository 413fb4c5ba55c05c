#pragma once
// A synthetic listing page shaped like the tracker's browse page, and the row pattern the
// listing reader applies to it. Shared by the text tests and the text benchmarks.

#include <QString>

namespace pelloran::text::fixture {

// The listing reader's row pattern, verbatim.
inline const QString kListingRowPattern = QStringLiteral(
    "<tr.*id=.*>[\\s\\S]*?<td[\\s\\S]*?img alt=\"Category\" "
    "src=\".*/images/categories/(.*?)\"[\\s\\S]*?<a href=\"(.*?)\">(.*?)</a>[\\s\\S]*? on "
    "(.*?)</td>[\\s\\S]*?<a href=\"(.*?)\">[\\s\\S]*?</td>[\\s\\S]*?</td>[\\s\\S]*?<td>(.*?) "
    "([G|M]B)</td>[\\s\\S]*?<td>[\\s\\S]*?<td.*?>(.*?)</td>[\\s\\S]*?<td.*?>(.*?)</td>");

inline const QString kTitlePattern = QStringLiteral("<title>(.*)</title>");

// One table row of about 2 KB: a category cell, the name cell with a tooltip and the upload
// date, the download link, comments, size, snatches, seeders and leechers. Without the
// category image the row is what the reader must skip (a changed layout, a hostile page).
inline QString listingRow(int id, bool withCategoryImage) {
    const QString n = QString::number(id);
    const QString category =
        withCategoryImage ? QStringLiteral(
                                "<a href=\"browse.php?cat=%1\"><img alt=\"Category\" "
                                "src=\"http://static.example/pic/images/categories/cat_%1.png\" "
                                "width=\"48\" height=\"36\"></a>")
                                .arg(id % 12)
                          : QStringLiteral(
                                "<a href=\"browse.php?cat=%1\"><span class=\"cat\">Category %1"
                                "</span></a>")
                                .arg(id % 12);
    QString tooltip;
    for (int i = 0; i < 16; ++i) {
        tooltip += QStringLiteral(
                       "<div class=\"tip-line\">Line %1 of the release notes for item %2: video "
                       "1280x720, audio 2ch</div>\n")
                       .arg(i)
                       .arg(n);
    }
    return QStringLiteral(
               "<tr class=\"t%1\" id=\"r%2\">\n"
               "<td class=\"cat\" align=\"center\">%3</td>\n"
               "<td class=\"name\" align=\"left\"><a href=\"details.php?id=%2&amp;hit=1\">"
               "Some.Show.S01E%2.720p.HDTV.x264-GRP &amp; Friends</a>\n"
               "<span class=\"tip\" style=\"display:none\">\n%4</span>\n"
               "<br><span class=\"small\">Uploaded by member%2 on 2012-03-05 14:07:09</td>\n"
               "<td class=\"dl\"><a href=\"download.php/%2/Some Show S01E%2.torrent\">"
               "<img src=\"pic/download.gif\" border=\"0\" alt=\"Download\"></a></td>\n"
               "<td class=\"comments\" align=\"right\"><a "
               "href=\"details.php?id=%2#c\">%5</a></td>\n"
               "<td>1.%6 GB</td>\n"
               "<td>%7<br>times</td>\n"
               "<td class=\"seed\" align=\"right\">%8</td>\n"
               "<td class=\"leech\" align=\"right\">%9</td>\n"
               "</tr>\n")
        .arg(id % 2)
        .arg(n, category, tooltip)
        .arg(id % 7)
        .arg(id % 100)
        .arg(id * 3)
        .arg(id % 50 + 1)
        .arg(id % 9);
}

// A whole page: head, navigation, the table with `rows` rows, footer. 100 rows with the
// category image are the usual page, about 250 KB.
inline QString listingPage(int rows, bool withCategoryImage) {
    QString page = QStringLiteral(
        "<!DOCTYPE html>\n<html><head><title>Browse :: Pelloran Tracker</title>\n"
        "<link rel=\"stylesheet\" href=\"styles/default.css\"></head>\n<body>\n");
    for (int i = 0; i < 200; ++i) {
        page += QStringLiteral(
                    "<li class=\"nav\"><a href=\"forums.php?id=%1\">Forum section %1"
                    "</a></li>\n")
                    .arg(i);
    }
    page += QStringLiteral(
        "<table class=\"torrents\" width=\"100%\">\n<tr class=\"colhead\"><td>Type</td>"
        "<td>Name</td><td>DL</td><td>Comments</td><td>Size</td><td>Snatched</td>"
        "<td>Seeders</td><td>Leechers</td></tr>\n");
    for (int i = 1; i <= rows; ++i) {
        page += listingRow(1000 + i, withCategoryImage);
    }
    page += QStringLiteral(
        "</table>\n<div class=\"footer\">Pelloran Tracker</div>\n"
        "</body></html>\n");
    return page;
}

}  // namespace pelloran::text::fixture
