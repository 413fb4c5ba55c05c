#include "site/snatch_list.h"

#include "site/row_matching.h"
#include "text/string_helpers.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace pelloran {

const QString kSnatchRowPattern = QStringLiteral(
    R"re(<a href=\\"(\\/torrent\\/.*?)\\">(.*?)<\\/a>","(.*?)",".*?","(.*?)","(.*?)",(.*?),.*?,.*?,"(.*?)")re");

namespace {

constexpr QLatin1StringView kBodyTemplate{
    "sEcho=1&iColumns=10&sColumns=&iDisplayStart=0&iDisplayLength=50&sSearch=&bEscapeRegex=true&"
    "sSearch_0=&bEscapeRegex_0=true&bSearchable_0=true&sSearch_1=&bEscapeRegex_1=true&"
    "bSearchable_1=true&sSearch_2=&bEscapeRegex_2=true&bSearchable_2=true&sSearch_3=&"
    "bEscapeRegex_3=true&bSearchable_3=true&sSearch_4=&bEscapeRegex_4=true&bSearchable_4=true&"
    "sSearch_5=&bEscapeRegex_5=true&bSearchable_5=true&sSearch_6=&bEscapeRegex_6=true&"
    "bSearchable_6=true&sSearch_7=&bEscapeRegex_7=true&bSearchable_7=true&sSearch_8=&"
    "bEscapeRegex_8=true&bSearchable_8=true&sSearch_9=&bEscapeRegex_9=true&bSearchable_9=true&"
    "iSortingCols=1&iSortCol_0=9&sSortDir_0=desc&bSortable_0=true&bSortable_1=true&"
    "bSortable_2=true&bSortable_3=true&bSortable_4=true&bSortable_5=false&bSortable_6=true&"
    "bSortable_7=true&bSortable_8=true&bSortable_9=true&userID="};

// Where each row's first field, the JSON-escaped link, begins.
constexpr QLatin1StringView kRowStart{R"(<a href=\")"};

// The value of a JSON string from the text between its quotes: "\u5343", "\/", "\"" and the
// other escapes decoded. Text without a backslash is its own value; text that isn't a valid
// string body stays as it is.
QString jsonStringValue(const QString& literal) {
    if (!literal.contains(QLatin1Char('\\'))) {
        return literal;
    }
    QJsonParseError error;
    const QJsonDocument document =
        QJsonDocument::fromJson("[\"" + literal.toUtf8() + "\"]", &error);
    const QJsonArray array = document.array();
    if (error.error != QJsonParseError::NoError || array.size() != 1 || !array[0].isString()) {
        return literal;
    }
    return array[0].toString();
}

}  // namespace

QString snatchListBody(const QString& userId) {
    return kBodyTemplate + userId;
}

TorrentList parseSnatchList(const QString& text) {
    QList<qsizetype> starts;
    for (qsizetype at = text.indexOf(kRowStart); at >= 0;
         at = text.indexOf(kRowStart, at + kRowStart.size())) {
        starts.append(at);
    }
    TorrentList torrents;
    for (const QStringList& g : matchEachRow(text, starts, kSnatchRowPattern)) {
        TorrentFields f;
        f.detailsUrl = QString(g[1]).remove(QLatin1Char('\\'));
        // The name is HTML inside JSON: undo the JSON escapes, then the character references,
        // with the helper the listing uses, so a torrent has one name in both lists.
        f.name = text::stringByUnescapingFromHTML(jsonStringValue(g[2]));
        f.size = jsonStringValue(g[3]);
        f.up = jsonStringValue(g[4]);
        f.down = jsonStringValue(g[5]);
        f.active = g[6];  // a bare JSON number
        f.ratio = jsonStringValue(g[7]);
        torrents.append(std::make_shared<Torrent>(std::move(f)));
    }
    return torrents;
}

HttpRequestRegExSnatchTorrent::HttpRequestRegExSnatchTorrent(const QString& url,
                                                             const NetContext& net)
    : HttpRequest(url, net) {}

void HttpRequestRegExSnatchTorrent::request() {
    HttpRequest::request();
    // No answer (its text is then "") or an error page is not an empty snatch list.
    if (result() && isResponseValid()) {
        torrents_ = parseSnatchList(*result());
    }
}

FetchPageAllSnatchTorrents::FetchPageAllSnatchTorrents(const QString& url, const QString& post,
                                                       const NetContext& net, QObject* context,
                                                       Callback callback)
    : FetchPageWith(url, context, std::move(callback)), post_(post), net_(net) {}

void FetchPageAllSnatchTorrents::main() {
    HttpRequestRegExSnatchTorrent parser(url(), net_.withDeadline(startAction(actionLimit_)));
    parser.setType(QStringLiteral("POST"));
    parser.setPostData(post_);
    parser.request();
    setReturnObject(parser.torrents());
}

}  // namespace pelloran
