#pragma once
// DemoServer: the machinery behind DemoSite. It owns the four httplib servers, the catalog,
// the accounts, the CAPTCHA service, the switches and the request log, and routes requests.
//
// Thread contract: handlers run on httplib's pool threads; every piece of mutable state is
// guarded by its own lock or is atomic. torrents_ is written only by start() before the
// servers accept requests.

#include <httplib.h>

#include <QHash>
#include <QMap>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "account_book.h"
#include "captcha.h"
#include "demo_site.h"
#include "page_frame.h"

namespace pelloran::demo {

class DemoServer {
public:
    explicit DemoServer(DemoSiteOptions options);
    ~DemoServer();

    bool start();
    void stop();

    const DemoSiteOptions& options() const { return options_; }
    QStringList warnings() const;
    QString host(const QString& service) const;  // "site", "forum", "captcha", "announce"
    QString loginTitle() const { return options_.loginTitle; }

    AccountBook& accounts() { return accounts_; }
    const AccountBook& accounts() const { return accounts_; }
    CaptchaService& captcha() { return captcha_; }
    const CaptchaService& captcha() const { return captcha_; }
    const std::vector<DemoTorrent>& torrents() const { return torrents_; }

    void setRequireCaptcha(bool on) { requireCaptcha_ = on; }
    void setCrlf(bool on) { crlf_ = on; }
    void setSignInRedirect(bool on) { signInRedirect_ = on; }
    void setListingDelay(int page, int milliseconds);
    void setListingFailure(int page, int status, const QString& retryAfter, int times);
    void setAnnouncement(const QString& text);

    std::vector<LoggedRequest> requestLog() const;
    void clearRequestLog();
    void setRequestObserver(std::function<void(const LoggedRequest&)> observer);

private:
    struct Service {
        QString name;
        QString address;  // the address it listens on
        int port = 0;
        std::unique_ptr<httplib::Server> server;
        std::thread thread;
        QString hostPort() const { return address + QLatin1Char(':') + QString::number(port); }
    };
    // One request as the routes see it: the raw path (leading slashes collapsed to one), the
    // raw query, and the response to fill.
    struct Exchange {
        const httplib::Request& request;
        httplib::Response& response;
        QString path;
        QString query;
    };
    using Route = void (DemoServer::*)(Exchange&);

    bool bindService(Service& service, const QString& address, int offset);
    void installRoutes(Service& service, Route route);
    void log(const QString& service, const httplib::Request& request);

    // Responses
    void sendHtml(Exchange& ex, const QString& html, int status = 200) const;
    void sendText(Exchange& ex, const QByteArray& bytes, const char* contentType,
                  int status = 200) const;
    void sendNotFound(Exchange& ex, const QString& what) const;
    // The member of the session cookie; otherwise answers with the login page and gives none.
    std::optional<DemoMember> requireSession(Exchange& ex) const;
    void waitForListingDelay(int page);
    // Answers the page's failure when one is set for it (and counts it); false otherwise.
    bool answerListingFailure(Exchange& ex, int page);

    // Routes (site_routes.cpp, service_routes.cpp)
    void routeSite(Exchange& ex);
    void routeForum(Exchange& ex);
    void routeCaptcha(Exchange& ex);
    void routeAnnounce(Exchange& ex);
    void signIn(Exchange& ex);
    void serveListing(Exchange& ex, const ListingQuery& query);
    void serveSnatchList(Exchange& ex);
    void serveDetails(Exchange& ex, int id);
    void serveProfile(Exchange& ex, const QString& name);
    void serveDownload(Exchange& ex, std::optional<int> id);
    void serveCategoryImage(Exchange& ex, const QString& name);

    SiteContext siteContext() const;

    DemoSiteOptions options_;
    std::vector<DemoTorrent> torrents_;
    AccountBook accounts_;
    CaptchaService captcha_;
    std::atomic<bool> requireCaptcha_{false};
    std::atomic<bool> crlf_{false};
    std::atomic<bool> signInRedirect_{true};
    std::atomic<bool> started_{false};

    Service site_, forum_, captchaService_, announce_;
    QStringList warnings_;

    mutable std::mutex switchMutex_;
    QString announcement_;
    QMap<int, int> pageDelays_;  // page (0: every page) -> milliseconds
    struct ListingFailure {
        int status = 500;
        QString retryAfter;
        int remaining = -1;  // -1: every time
    };
    QMap<int, ListingFailure> pageFailures_;
    bool stopping_ = false;
    std::condition_variable stopCv_;

    mutable std::mutex imageMutex_;
    QHash<QString, QByteArray> categoryImages_;

    mutable std::mutex logMutex_;
    std::deque<LoggedRequest> log_;
    std::function<void(const LoggedRequest&)> observer_;
};

}  // namespace pelloran::demo
