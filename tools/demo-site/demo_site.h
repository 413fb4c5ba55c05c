#pragma once
// DemoSite: a fake tracker site on loopback that any correct Pelloran client works against.
//
// Four services, each on its own loopback address so that their cookies have different domains:
//   site          127.0.0.1  login, listings, details, profiles, snatch list, downloads, home page
//   forum         127.0.0.2  forum index and threads (no session needed)
//   CAPTCHA       127.0.0.3  challenge script "/recaptcha/api/challenge" and picture "/image?c="
//   announcement  127.0.0.4  "/pelloran.php" answering the configured text
// Ports are ephemeral unless DemoSiteOptions::basePort is set (then site N, forum N+1, CAPTCHA
// N+2, announcement N+3). When 127.0.0.x (x > 1) cannot be bound, that service falls back to
// 127.0.0.1 and warnings() says so; cookies of different services then share a domain.
//
// All data is generated from the seed: the same options give the same torrents, names, dates
// and pages. Nothing is printed; setRequestObserver() lets a program show traffic.
//
// Thread contract: every method may be called from any thread at any time after construction,
// concurrently with requests being served. torrents() and the records it holds never change
// after start() returns.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pelloran::demo {

struct DemoSiteOptions {
    int torrentCount = 300;
    int rowsPerPage = 25;
    quint32 seed = 7;
    QString loginTitle = QStringLiteral("Login :: Pelloran Demo Tracker");
    int basePort = 0;  // 0: ephemeral ports
};

// One row of the site's category table. Section ids (1 Movies, 2 TV, 3 Games, 4 Music, 6
// Applications) are not choosable but select their whole section in a listing URL.
struct DemoCategory {
    int id = 0;
    QString name;   // "HD"
    QString image;  // "hd.png", served at /images/categories/hd.png
    int section = 0;
};

struct DemoTorrent {
    int id = 0;
    QString name;      // display name, decoded ("Dust & Bones")
    QString nameHtml;  // the link text exactly as the listing page writes it ("Dust &amp; Bones")
    QString fileName;  // the "name" inside the .torrent's info dictionary
    int categoryId = 0;
    QString categoryImage;  // "hd.png"
    qint64 sizeBytes = 0;
    QString sizeText;  // "1.37 GB", "700.12 MB" or "512.00 KB"
    int seeders = 0;
    int leechers = 0;
    int snatched = 0;
    int comments = 0;
    QString date;          // "yyyy-MM-dd HH:mm:ss"
    QString detailsHref;   // "/torrent/ID/Slug"
    QString downloadHref;  // exactly as written in the page: raw spaces, "%20" or "&amp;" included
    QString uploader;
    QString imdbId;          // "tt0123456" on about half the films and shows, else empty
    QByteArray torrentFile;  // bencoded .torrent; filled by start() (its announce URL has the port)

    // A row sized in KB is on the page, but a client's row pattern leaves it out.
    bool sizeInKb() const { return sizeText.endsWith(QLatin1String(" KB")); }
};

struct DemoMember {
    QString name;
    QString password;  // compared with the form value after browser form decoding
    QString id;        // numeric text, also sent as the "qauid" cookie
    QString ratio;     // member bar figures, exactly as printed
    QString uploaded;
    QString downloaded;
    int snatchCount = 0;
    bool plainProfileLink = false;  // member bar link text without the styled span
};

// One snatch list row as the site's JSON writes it (figures as printed, before JSON escaping).
struct DemoSnatch {
    int torrentId = 0;
    QString name;         // decoded
    QString detailsHref;  // "/torrent/ID/Slug"
    QString sizeText;     // "1.4 GB"
    QString seedTime;     // field 2, skipped by a client
    QString uploaded;     // "12.0 MB"
    QString downloaded;
    int active = 0;
    int seeders = 0;
    int leechers = 0;
    QString ratio;       // "0.009"
    QString lastAction;  // "yyyy-MM-dd HH:mm:ss"; the list is newest first
};

// What a listing page shows. fromPath() reads a path the way the site's router does.
struct ListingQuery {
    QList<int> categories;          // empty: every category
    QString orderBy;                // "" (date), "size", "seeders" or "leechers"
    bool ascending = false;         // default order is descending
    std::optional<QString> search;  // absent: browse; matched word by word, ignoring case
    int page = 1;

    // "/torrents/browse", "/torrents/browse/index/[query/TEXT/][categories/IDS/]
    // [orderby/X/][order/asc|desc/][page/N]", percent-escaped as a client sends it (an optional
    // "http://host" prefix and a query string are ignored). Absent for any other path.
    static std::optional<ListingQuery> fromPath(const QString& path);
};

struct LoggedRequest {
    QString host;    // "site", "forum", "captcha" or "announce"
    QString method;  // "GET", "POST", ...
    QString target;  // path and query exactly as sent
    QString path;    // target before "?", still percent-escaped
    QString query;   // target after "?", or ""
    QList<QPair<QString, QString>> headers;
    QByteArray body;
    QString peer;  // the client end of the connection it came on, "127.0.0.1:PORT"

    QString header(const QString& name) const;  // "" when absent; name compared ignoring case
    QString userAgent() const { return header(QStringLiteral("User-Agent")); }
    QString cookieHeader() const { return header(QStringLiteral("Cookie")); }
    std::optional<QString> cookie(const QString& name) const;  // one cookie sent with it
};

class DemoServer;

class DemoSite {
public:
    explicit DemoSite(DemoSiteOptions options = {});
    ~DemoSite();  // stops the services
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    // Binds the four services and serves them on background threads; the sockets accept
    // connections as soon as it returns true. Call once; false when the site host cannot bind.
    bool start();
    void stop();
    QStringList warnings() const;  // address fallbacks made by start()

    // "127.0.0.1:PORT" etc. (empty before start())
    QString siteHost() const;
    QString forumHost() const;
    QString captchaHost() const;
    QString announceHost() const;
    QString siteUrl(const QString& path) const;  // "http://" + siteHost() + path
    QString cookieDomain() const;                // address of the site host, "127.0.0.1"
    QString captchaCookieDomain() const;         // address of the CAPTCHA host, "127.0.0.3"
    QString loginTitle() const;
    QString loginUrl() const;  // "http://" + siteHost() + "/user/account/login/"

    // Accounts. The demo member is "demo" / "demo-pass-42" (id 31337, 80 snatches); a second
    // member "quietfox" / "p&ss%41+x" (id 4242) has a password that needs form escaping. Names
    // are compared exactly (case included).
    QString memberName() const;
    QString memberPassword() const;
    QString memberId() const;
    std::optional<DemoMember> member(const QString& name) const;
    void addMember(const QString& name, const QString& password, const QString& id);
    void addMember(const DemoMember& member);
    void setSnatchCount(int count);  // the demo member's; clamped to 0..torrent count
    void setSnatchCount(const QString& memberName, int count);

    // Switches, effective for the next request.
    void setRequireCaptcha(bool on);
    std::optional<QString> captchaAnswerFor(const QString& token) const;  // absent: unknown
    QString lastCaptchaToken() const;                  // "" before the first challenge
    void expireAllSessions();                          // every session so far is lost
    void setListingDelay(int page, int milliseconds);  // page <= 0: every listing page; 0 ms clears
    // The listing page `page` answers `status` (500, 429, 503...) with a short error page, and
    // a Retry-After header when `retryAfter` is not empty, for its next `times` requests (-1:
    // until changed; 0 clears). Counted only for requests that carry a session.
    void setListingFailure(int page, int status, const QString& retryAfter = QString(),
                           int times = -1);
    void setCrlf(bool on);  // CRLF line ends in every HTML and JS page
    // A successful sign-in answers with a 302 to the front page, as most PHP sites do (on);
    // off: with a plain "Signed in" page (200).
    void setSignInRedirect(bool on);
    void setAnnouncement(const QString& text);  // "GO:...", "STOP:..." or "" (empty body)

    // Data, for expectations.
    const std::vector<DemoTorrent>& torrents() const;
    static const std::vector<DemoCategory>& categories();
    const DemoTorrent* torrent(int id) const;  // nullptr when unknown
    int rowsPerPage() const;
    // The rows a listing page shows, KB rows included, in page order.
    std::vector<DemoTorrent> listing(const ListingQuery& query) const;
    std::vector<DemoTorrent> listing(const QString& path) const;  // empty for a non-listing path
    int pageCount(const ListingQuery& query) const;               // pages that have rows
    // The rows a client reads from a page: the page's rows without the KB ones.
    static std::vector<DemoTorrent> clientRows(const std::vector<DemoTorrent>& rows);
    std::vector<DemoSnatch> snatchList(const QString& memberName) const;  // all, newest first
    // The favorites path of a page, all categories in the client's fixed order.
    static QString favoritesPath(int page);

    // Request log: every request on every service, in arrival order (the latest 10000).
    std::vector<LoggedRequest> requestLog() const;
    std::vector<LoggedRequest> requestLog(const QString& host) const;
    void clearRequestLog();
    // Called on a server thread for each request after it is logged; must not block.
    void setRequestObserver(std::function<void(const LoggedRequest&)> observer);

private:
    std::unique_ptr<DemoServer> server_;
};

}  // namespace pelloran::demo
