#pragma once
// A small site of hand-made pages on loopback, for what the demo site doesn't serve: details
// and profile pages whose links show a fault (a link without an address before a torrent link,
// links on a profile), a details page of 3 MB, and a style sheet the pages take. The .torrent
// address answers too, so a request for it would show in the log.

#include "support/test_server.h"

#include <QString>

namespace pelloran::test {

class PageServer : public TestServer {
public:
    static constexpr char kHeadingColour[] = "rgb(1, 2, 3)";

    PageServer() {
        auto html = [](const QString& text) {
            return [page = text.toStdString()](const httplib::Request&, httplib::Response& res) {
                res.set_content(page, "text/html; charset=utf-8");
            };
        };
        server().Get("/css/site.css", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("#torrent h2, #profile h2 { color: rgb(1, 2, 3); }", "text/css");
        });
        server().Get("/torrent/1/Links",
                     html(detailsPage(
                         QStringLiteral("<h2>Links</h2>\n"
                                        "<a name=\"top\">an anchor without an address</a>\n"
                                        "<a id=\"file\" href=\"/download/1/Links.torrent\" "
                                        "target=\"_blank\">.torrent file</a>\n"
                                        "<a id=\"imdb\" href=\"http://www.imdb.com/title/"
                                        "tt0000001/\" target=\"_blank\">IMDb</a>\n"
                                        "<a id=\"next\" href=\"/torrent/2/Next\">next</a>\n"))));
        server().Get("/torrent/2/Next",
                     html(QStringLiteral("<html><head><title>Next</title></head><body>"
                                         "<p id=\"next-page\">The next page.</p></body></html>")));
        server().Get("/torrent/3/Big", html(detailsPage(bigBlock())));
        server().Get("/profile/Zoe",
                     html(QStringLiteral("<html><head><title>Profile of Zoe</title>"
                                         "<link rel=\"stylesheet\" href=\"/css/site.css\"></head>"
                                         "<body><div id=\"middle\"><div id=\"nav\"></div></div>\n"
                                         "<div id=\"profile\"><h2>Zoe</h2>\n"
                                         "<a id=\"upload\" href=\"/torrent/2/Next\">latest upload"
                                         "</a> <a id=\"away\" href=\"http://127.0.0.2:9/\">her "
                                         "site</a></div></body></html>")));
        server().Get(R"(/download/.*)", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("d4:infod4:name1:xee", "application/x-bittorrent");
        });
    }

    // Hand-made details page: the site's head, a middle block that the cut drops, then the
    // torrent block holding `block`.
    static QString detailsPage(const QString& block) {
        return QStringLiteral(
                   "<html><head><title>Details</title>"
                   "<link rel=\"stylesheet\" href=\"/css/site.css\"></head><body>\n"
                   "<div id=\"middle\"><div id=\"header\">Site header</div></div>\n"
                   "<div id=\"torrent\">\n") +
               block + QStringLiteral("</div>\n</body></html>\n");
    }

    // 3 MB of torrent description, with a relative link at the top and a marker at the end.
    static QString bigBlock() {
        QString block =
            QStringLiteral("<h2>Big</h2>\n<a id=\"rel\" href=\"/torrent/2/Next\">next</a>\n");
        const QString paragraph = QStringLiteral(
            "<p>Caf\u00e9 notes: the long description of a release that goes on and on.</p>\n");
        while (block.size() < 3 * 1024 * 1024) {
            block += paragraph;
        }
        return block + QStringLiteral("<p id=\"end\">end of the page</p>\n");
    }
};

}  // namespace pelloran::test
