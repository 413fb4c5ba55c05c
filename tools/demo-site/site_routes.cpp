// The tracker site's routes: sign-in, listings, details, profiles, snatch list, downloads.

#include <QDateTime>
#include <QLocale>
#include <QStringList>
#include <QUrl>
#include <algorithm>

#include "catalog.h"
#include "content_pages.h"
#include "demo_server.h"
#include "listing_page.h"
#include "listing_query.h"
#include "snatch_list.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

constexpr int kRememberSeconds = 30 * 24 * 3600;

QString cookieHeader(const QString& name, const QString& value, bool remember, bool httpOnly) {
    // No Domain attribute: host-only cookies, as the site sets them.
    QString cookie = name + QLatin1Char('=') + value + QStringLiteral("; Path=/");
    if (remember) {
        const QDateTime expires = QDateTime::currentDateTimeUtc().addSecs(kRememberSeconds);
        cookie +=
            QStringLiteral("; Expires=") +
            QLocale::c().toString(expires, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'")) +
            QStringLiteral("; Max-Age=") + QString::number(kRememberSeconds);
    }
    if (httpOnly) {
        cookie += QStringLiteral("; HttpOnly");
    }
    return cookie;
}

bool isLoginPath(const QString& path) {
    return path == QLatin1String("/user/account/login/") ||
           path == QLatin1String("/user/account/login");
}

// "attachment; filename=..." with an ASCII fallback and the UTF-8 name for clients that read it.
std::string contentDisposition(const QString& fileName) {
    QString ascii;
    for (QChar c : fileName) {
        ascii += (c.unicode() < 128 && c != QLatin1Char('"') && c != QLatin1Char('\\'))
                     ? c
                     : QLatin1Char('_');
    }
    return (QStringLiteral("attachment; filename=\"") + ascii +
            QStringLiteral("\"; filename*=UTF-8''") +
            QString::fromLatin1(QUrl::toPercentEncoding(fileName)))
        .toStdString();
}

}  // namespace

void DemoServer::routeSite(Exchange& ex) {
    const QString& path = ex.path;
    const bool post = ex.request.method == "POST";
    if (isLoginPath(path)) {
        if (post) {
            signIn(ex);
        } else {
            sendHtml(ex, loginPage(siteContext(),
                                   LoginPageState{requireCaptcha_, false, false, QString()}));
        }
        return;
    }
    if (path == QLatin1String("/user/account/snatchlist") && post) {
        serveSnatchList(ex);
        return;
    }
    if (path == QLatin1String("/css/site.css")) {
        sendText(ex,
                 "body{font-family:Arial,sans-serif;background:#1d1f21;color:#ddd;margin:0}\n"
                 "a{color:#8ab4f8}#middle{max-width:980px;margin:0 auto;padding:8px}\n"
                 "#memberBar{background:#333;padding:4px}.lbl{color:#999;margin-left:8px}\n"
                 "table.torrents{width:100%;border-collapse:collapse}table.torrents "
                 "td{border-top:1px solid #333}\n"
                 ".error{color:#f66}\n",
                 "text/css");
        return;
    }
    if (path.startsWith(QLatin1String("/images/categories/"))) {
        serveCategoryImage(ex, percentDecode(path.mid(19)));
        return;
    }
    if (path.startsWith(QLatin1String("/images/"))) {
        serveCategoryImage(ex, QString());
        return;
    }
    if (path == QLatin1String("/announce.php")) {
        // Enough of a tracker reply that a BitTorrent client given these files stays quiet.
        sendText(ex, "d8:intervali1800e12:min intervali900e5:peers0:e", "text/plain");
        return;
    }
    if (path.startsWith(QLatin1String("/download/"))) {
        serveDownload(ex, leadingNumber(QStringView(path).mid(10)));
        return;
    }
    if (path == QLatin1String("/download.php")) {
        const FormFields fields = parseForm(ex.query);
        serveDownload(ex,
                      leadingNumber(formValue(fields, QStringLiteral("id")).value_or(QString())));
        return;
    }
    if (path.startsWith(QLatin1String("/torrent/"))) {
        const std::optional<int> id = leadingNumber(QStringView(path).mid(9));
        if (id) {
            serveDetails(ex, *id);
            return;
        }
    }
    if (path.startsWith(QLatin1String("/profile/"))) {
        serveProfile(ex, percentDecode(path.mid(9)));
        return;
    }
    if (const std::optional<ListingQuery> query = ListingQuery::fromPath(path)) {
        // The search box of the page submits "?search=words"; the site answers with its
        // search path, as the client builds it.
        const QString words =
            formValue(parseForm(ex.query), QStringLiteral("search")).value_or(QString());
        if (!words.trimmed().isEmpty()) {
            ex.response.status = 302;
            ex.response.set_header("Location", ("/torrents/browse/index/query/" +
                                                QUrl::toPercentEncoding(words.trimmed()) + "/")
                                                   .toStdString());
            return;
        }
        serveListing(ex, *query);
        return;
    }
    if (path == QLatin1String("/")) {
        if (const std::optional<DemoMember> member = requireSession(ex)) {
            std::vector<DemoTorrent> newest(
                torrents_.rbegin(), torrents_.rbegin() + std::min<size_t>(10, torrents_.size()));
            sendHtml(ex, homePage(siteContext(), *member, newest));
        }
        return;
    }
    if (path == QLatin1String("/user/account/logout")) {
        if (auto token = cookieValue(QString::fromStdString(ex.request.get_header_value("Cookie")),
                                     QString::fromLatin1(AccountBook::kSessionCookie))) {
            accounts_.closeSession(*token);
        }
        ex.response.status = 302;
        ex.response.set_header(
            "Location", ("http://" + site_.hostPort() + "/user/account/login/").toStdString());
        return;
    }
    if (path == QLatin1String("/user/account/snatched")) {
        if (const std::optional<DemoMember> member = requireSession(ex)) {
            sendHtml(ex, sitePage(siteContext(), &*member, pageTitle(QStringLiteral("Snatch list")),
                                  QStringLiteral(
                                      "<h2>Snatch list</h2>\n<table id=\"snatchlist\" "
                                      "data-source=\"/user/account/snatchlist\"></table>\n")));
        }
        return;
    }
    sendNotFound(ex, QStringLiteral("There is no page at this address."));
}

void DemoServer::signIn(Exchange& ex) {
    const FormFields form = parseForm(QString::fromStdString(ex.request.body));
    const QString username = formValue(form, QStringLiteral("username")).value_or(QString());
    const QString password = formValue(form, QStringLiteral("password")).value_or(QString());
    const bool captchaOn = requireCaptcha_;
    if (captchaOn) {
        const std::optional<QString> challenge =
            formValue(form, QStringLiteral("recaptcha_challenge_field"));
        const std::optional<QString> response =
            formValue(form, QStringLiteral("recaptcha_response_field"));
        if (!challenge || !response || !captcha_.verify(*challenge, *response)) {
            sendHtml(ex, loginPage(siteContext(), LoginPageState{true, false, true, username}));
            return;
        }
    }
    const std::optional<DemoMember> member = accounts_.signIn(username, password);
    if (!member) {
        sendHtml(ex, loginPage(siteContext(), LoginPageState{captchaOn, true, false, username}));
        return;
    }
    const bool remember =
        formValue(form, QStringLiteral("remember_me")).value_or(QString()) == QLatin1String("on");
    const QString token = accounts_.openSession(member->name);
    ex.response.set_header(
        "Set-Cookie",
        cookieHeader(QString::fromLatin1(AccountBook::kSessionCookie), token, remember, true)
            .toStdString());
    ex.response.set_header(
        "Set-Cookie",
        cookieHeader(QStringLiteral("qauid"), member->id, remember, false).toStdString());
    if (!signInRedirect_) {
        sendHtml(ex, sitePage(siteContext(), &*member, pageTitle(QStringLiteral("Signed in")),
                              QStringLiteral("<p>Signed in. <a href=\"/\">Continue</a></p>\n")));
        return;
    }
    ex.response.set_header("Location", ("http://" + site_.hostPort() + "/").toStdString());
    sendText(ex, "<html><body>Signed in. <a href=\"/\">Continue</a></body></html>\n", "text/html",
             302);
}

void DemoServer::serveListing(Exchange& ex, const ListingQuery& query) {
    const std::optional<DemoMember> member = requireSession(ex);
    if (!member) {
        return;
    }
    waitForListingDelay(query.page);
    if (answerListingFailure(ex, query.page)) {
        return;
    }
    const std::vector<const DemoTorrent*> all = selectTorrents(torrents_, query);
    const std::vector<const DemoTorrent*> rows = pageOf(all, query.page, options_.rowsPerPage);
    const ListingPageData data{query, rows,
                               pageCountOf(qsizetype(all.size()), options_.rowsPerPage),
                               qsizetype(all.size())};
    sendHtml(ex, listingPage(siteContext(), *member, data));
}

void DemoServer::serveSnatchList(Exchange& ex) {
    const std::optional<DemoMember> member = requireSession(ex);
    if (!member) {
        return;
    }
    const FormFields form = parseForm(QString::fromStdString(ex.request.body));
    auto number = [&](const char* name, int fallback) {
        const QString text = formValue(form, QString::fromLatin1(name)).value_or(QString());
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok ? value : fallback;
    };
    const int echo = number("sEcho", 0);
    const int start = std::max(number("iDisplayStart", 0), 0);
    int length = number("iDisplayLength", 10);
    // The site answers only about the member who is signed in.
    if (formValue(form, QStringLiteral("userID")).value_or(QString()) != member->id) {
        sendText(ex, snatchListJson({}, echo, 0), "application/json");
        return;
    }
    const std::vector<DemoSnatch> all = snatchesOf(torrents_, *member, options_.seed);
    if (length < 0) {
        length = int(all.size());  // DataTables' "all rows"
    }
    std::vector<DemoSnatch> rows;
    for (size_t i = size_t(start); i < all.size() && rows.size() < size_t(length); ++i) {
        rows.push_back(all[i]);
    }
    sendText(ex, snatchListJson(rows, echo, qsizetype(all.size())), "application/json");
}

void DemoServer::serveDetails(Exchange& ex, int id) {
    const std::optional<DemoMember> member = requireSession(ex);
    if (!member) {
        return;
    }
    for (const DemoTorrent& t : torrents_) {
        if (t.id == id) {
            sendHtml(ex, detailsPage(siteContext(), *member, t));
            return;
        }
    }
    sendNotFound(ex, QStringLiteral("No torrent with this id."));
}

void DemoServer::serveProfile(Exchange& ex, const QString& name) {
    const std::optional<DemoMember> member = requireSession(ex);
    if (!member) {
        return;
    }
    const int uploads =
        int(std::count_if(torrents_.begin(), torrents_.end(),
                          [&](const DemoTorrent& t) { return t.uploader == name; }));
    sendHtml(ex, profilePage(siteContext(), *member, name, accounts_.member(name), uploads));
}

void DemoServer::serveDownload(Exchange& ex, std::optional<int> id) {
    if (!requireSession(ex)) {
        return;
    }
    for (const DemoTorrent& t : torrents_) {
        if (id && t.id == *id) {
            ex.response.set_header("Content-Disposition",
                                   contentDisposition(t.fileName.section(QLatin1Char('.'), 0, -2) +
                                                      QStringLiteral(".torrent")));
            sendText(ex, t.torrentFile, "application/x-bittorrent");
            return;
        }
    }
    sendNotFound(ex, QStringLiteral("No torrent with this id."));
}

}  // namespace pelloran::demo
