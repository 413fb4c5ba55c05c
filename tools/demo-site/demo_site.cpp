#include "demo_site.h"

#include "account_book.h"
#include "catalog.h"
#include "demo_server.h"
#include "listing_query.h"
#include "snatch_list.h"
#include "url_codec.h"

namespace pelloran::demo {

QString LoggedRequest::header(const QString& name) const {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return {};
}

std::optional<QString> LoggedRequest::cookie(const QString& name) const {
    return cookieValue(cookieHeader(), name);
}

DemoSite::DemoSite(DemoSiteOptions options)
    : server_(std::make_unique<DemoServer>(std::move(options))) {}

DemoSite::~DemoSite() = default;

bool DemoSite::start() {
    return server_->start();
}
void DemoSite::stop() {
    server_->stop();
}
QStringList DemoSite::warnings() const {
    return server_->warnings();
}

QString DemoSite::siteHost() const {
    return server_->host(QStringLiteral("site"));
}
QString DemoSite::forumHost() const {
    return server_->host(QStringLiteral("forum"));
}
QString DemoSite::captchaHost() const {
    return server_->host(QStringLiteral("captcha"));
}
QString DemoSite::announceHost() const {
    return server_->host(QStringLiteral("announce"));
}
QString DemoSite::siteUrl(const QString& path) const {
    return QStringLiteral("http://") + siteHost() + path;
}
QString DemoSite::cookieDomain() const {
    return siteHost().section(QLatin1Char(':'), 0, 0);
}
QString DemoSite::captchaCookieDomain() const {
    return captchaHost().section(QLatin1Char(':'), 0, 0);
}
QString DemoSite::loginTitle() const {
    return server_->loginTitle();
}
QString DemoSite::loginUrl() const {
    return siteUrl(QStringLiteral("/user/account/login/"));
}

QString DemoSite::memberName() const {
    return QString::fromLatin1(AccountBook::kDemoName);
}

QString DemoSite::memberPassword() const {
    return server_->accounts().member(memberName()).value_or(DemoMember{}).password;
}

QString DemoSite::memberId() const {
    return server_->accounts().member(memberName()).value_or(DemoMember{}).id;
}

std::optional<DemoMember> DemoSite::member(const QString& name) const {
    return server_->accounts().member(name);
}

void DemoSite::addMember(const QString& name, const QString& password, const QString& id) {
    addMember(DemoMember{name, password, id, QStringLiteral("0.512"), QStringLiteral("1.25 GB"),
                         QStringLiteral("2.44 GB"), 20, false});
}

void DemoSite::addMember(const DemoMember& member) {
    server_->accounts().addMember(member);
}

void DemoSite::setSnatchCount(int count) {
    setSnatchCount(memberName(), count);
}

void DemoSite::setSnatchCount(const QString& memberName, int count) {
    server_->accounts().setSnatchCount(memberName, std::min(count, int(torrents().size())));
}

void DemoSite::setRequireCaptcha(bool on) {
    server_->setRequireCaptcha(on);
}

std::optional<QString> DemoSite::captchaAnswerFor(const QString& token) const {
    return server_->captcha().answerFor(token);
}

QString DemoSite::lastCaptchaToken() const {
    return server_->captcha().lastToken();
}
void DemoSite::expireAllSessions() {
    server_->accounts().expireAllSessions();
}
void DemoSite::setListingDelay(int page, int milliseconds) {
    server_->setListingDelay(page, milliseconds);
}

void DemoSite::setListingFailure(int page, int status, const QString& retryAfter, int times) {
    server_->setListingFailure(page, status, retryAfter, times);
}
void DemoSite::setCrlf(bool on) {
    server_->setCrlf(on);
}

void DemoSite::setSignInRedirect(bool on) {
    server_->setSignInRedirect(on);
}
void DemoSite::setAnnouncement(const QString& text) {
    server_->setAnnouncement(text);
}

const std::vector<DemoTorrent>& DemoSite::torrents() const {
    return server_->torrents();
}
const std::vector<DemoCategory>& DemoSite::categories() {
    return categoryTable();
}

const DemoTorrent* DemoSite::torrent(int id) const {
    for (const DemoTorrent& t : torrents()) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

int DemoSite::rowsPerPage() const {
    return server_->options().rowsPerPage;
}

std::vector<DemoTorrent> DemoSite::listing(const ListingQuery& query) const {
    std::vector<DemoTorrent> out;
    for (const DemoTorrent* t :
         pageOf(selectTorrents(torrents(), query), query.page, rowsPerPage())) {
        out.push_back(*t);
    }
    return out;
}

std::vector<DemoTorrent> DemoSite::listing(const QString& path) const {
    const std::optional<ListingQuery> query = ListingQuery::fromPath(path);
    return query ? listing(*query) : std::vector<DemoTorrent>{};
}

int DemoSite::pageCount(const ListingQuery& query) const {
    return pageCountOf(qsizetype(selectTorrents(torrents(), query).size()), rowsPerPage());
}

std::vector<DemoTorrent> DemoSite::clientRows(const std::vector<DemoTorrent>& rows) {
    std::vector<DemoTorrent> out;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(out),
                 [](const DemoTorrent& t) { return !t.sizeInKb(); });
    return out;
}

std::vector<DemoSnatch> DemoSite::snatchList(const QString& memberName) const {
    const std::optional<DemoMember> m = member(memberName);
    return m ? snatchesOf(torrents(), *m, server_->options().seed) : std::vector<DemoSnatch>{};
}

QString DemoSite::favoritesPath(int page) {
    return QStringLiteral(
               "/torrents/browse/index/categories/"
               "1,8,9,10,11,12,13,14,15,29,2,26,27,3,17,18,19,20,21,22,28,30,32,4,16,31,5,6,23,24,"
               "25,7/page/") +
           QString::number(page);
}

std::vector<LoggedRequest> DemoSite::requestLog() const {
    return server_->requestLog();
}

std::vector<LoggedRequest> DemoSite::requestLog(const QString& host) const {
    std::vector<LoggedRequest> out;
    for (LoggedRequest& r : server_->requestLog()) {
        if (r.host == host) {
            out.push_back(std::move(r));
        }
    }
    return out;
}

void DemoSite::clearRequestLog() {
    server_->clearRequestLog();
}

void DemoSite::setRequestObserver(std::function<void(const LoggedRequest&)> observer) {
    server_->setRequestObserver(std::move(observer));
}

}  // namespace pelloran::demo
