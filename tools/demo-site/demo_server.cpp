#include "demo_server.h"

#include "server_sockets.h"

#include <QCryptographicHash>

#include "catalog.h"
#include "torrent_file.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

constexpr size_t kLogLimit = 10000;

// Favorites fetch ten pages at once and curl keeps idle connections, each holding a pool
// thread until its keep-alive ends; the default pool of eight would make requests queue.
constexpr size_t kSiteThreads = 32;
constexpr size_t kOtherThreads = 8;

}  // namespace

DemoServer::DemoServer(DemoSiteOptions options)
    : options_(std::move(options)),
      torrents_(generateTorrents(std::max(options_.torrentCount, 0), options_.seed)),
      captcha_(options_.seed) {
    site_.name = QStringLiteral("site");
    forum_.name = QStringLiteral("forum");
    captchaService_.name = QStringLiteral("captcha");
    announce_.name = QStringLiteral("announce");
}

DemoServer::~DemoServer() {
    stop();
}

QStringList DemoServer::warnings() const {
    std::lock_guard lock(switchMutex_);
    return warnings_;
}

QString DemoServer::host(const QString& service) const {
    if (!started_) {
        return {};
    }
    if (service == QLatin1String("site"))
        return site_.hostPort();
    if (service == QLatin1String("forum"))
        return forum_.hostPort();
    if (service == QLatin1String("captcha"))
        return captchaService_.hostPort();
    if (service == QLatin1String("announce"))
        return announce_.hostPort();
    return {};
}

bool DemoServer::bindService(Service& service, const QString& address, int offset) {
    service.server = std::make_unique<httplib::Server>();
    const size_t threads = &service == &site_ ? kSiteThreads : kOtherThreads;
    // httplib takes ownership of the queue it gets from this factory.
    service.server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    // httplib writes an answer's head and body apart; without this the body waits for the
    // client's delayed ACK (40 ms) whenever the client keeps its connection for the next request.
    service.server->set_tcp_nodelay(true);
    auto tryBind = [&](const QString& addr) {
        if (options_.basePort > 0) {
            const int port = options_.basePort + offset;
            if (service.server->bind_to_port(addr.toStdString(), port)) {
                service.port = port;
                return true;
            }
            return false;
        }
        service.port = service.server->bind_to_any_port(addr.toStdString());
        return service.port > 0;
    };
    if (tryBind(address)) {
        service.address = address;
        widenListenBacklog(service.address, service.port);
        return true;
    }
    const QString fallback = QStringLiteral("127.0.0.1");
    if (address != fallback && tryBind(fallback)) {
        service.address = fallback;
        widenListenBacklog(service.address, service.port);
        std::lock_guard lock(switchMutex_);
        warnings_ << QStringLiteral(
                         "cannot listen on %1; the %2 service uses %3 instead, so its "
                         "cookies share the site's domain")
                         .arg(address, service.name, service.hostPort());
        return true;
    }
    return false;
}

void DemoServer::installRoutes(Service& service, Route route) {
    const QString name = service.name;
    auto handler = [this, name, route](const httplib::Request& request,
                                       httplib::Response& response) {
        log(name, request);
        const std::string& target = request.target;
        const size_t question = target.find('?');
        QString path = QString::fromStdString(target.substr(0, question));
        // Clients build "http://host/" + "/torrent/..."; the site treats "//" like "/".
        while (path.startsWith(QLatin1String("//"))) {
            path.remove(0, 1);
        }
        Exchange ex{request, response, path,
                    question == std::string::npos
                        ? QString()
                        : QString::fromStdString(target.substr(question + 1))};
        (this->*route)(ex);
    };
    httplib::Server& s = *service.server;
    s.Get(".*", handler);
    s.Post(".*", handler);
    s.Put(".*", handler);
    s.Delete(".*", handler);
    s.Options(".*", handler);
    s.Patch(".*", handler);
}

bool DemoServer::start() {
    if (started_ || site_.server) {
        return false;
    }
    if (!bindService(site_, QStringLiteral("127.0.0.1"), 0) ||
        !bindService(forum_, QStringLiteral("127.0.0.2"), 1) ||
        !bindService(captchaService_, QStringLiteral("127.0.0.3"), 2) ||
        !bindService(announce_, QStringLiteral("127.0.0.4"), 3)) {
        for (Service* s : {&site_, &forum_, &captchaService_, &announce_}) {
            s->server.reset();
        }
        return false;
    }
    installRoutes(site_, &DemoServer::routeSite);
    installRoutes(forum_, &DemoServer::routeForum);
    installRoutes(captchaService_, &DemoServer::routeCaptcha);
    installRoutes(announce_, &DemoServer::routeAnnounce);

    const QString passkey =
        QString::fromLatin1(QCryptographicHash::hash(QByteArray::number(options_.seed) + "passkey",
                                                     QCryptographicHash::Md5)
                                .toHex());
    const TorrentFileFactory factory(options_.seed, QStringLiteral("http://") + site_.hostPort() +
                                                        QStringLiteral("/announce.php?passkey=") +
                                                        passkey);
    for (DemoTorrent& t : torrents_) {
        t.torrentFile = factory.build(t);
    }
    started_ = true;
    for (Service* s : {&site_, &forum_, &captchaService_, &announce_}) {
        httplib::Server* server = s->server.get();
        s->thread = std::thread([server] { server->listen_after_bind(); });
    }
    // stop() only ends a server that already runs its accept loop, so wait for the loops.
    for (Service* s : {&site_, &forum_, &captchaService_, &announce_}) {
        for (int i = 0; i < 2000 && !s->server->is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void DemoServer::stop() {
    {
        std::lock_guard lock(switchMutex_);
        stopping_ = true;
    }
    stopCv_.notify_all();
    for (Service* s : {&site_, &forum_, &captchaService_, &announce_}) {
        if (s->thread.joinable()) {
            s->server->stop();
            shutDownAcceptedConnections(s->address, s->port);
            s->thread.join();
        }
    }
}

void DemoServer::setListingDelay(int page, int milliseconds) {
    std::lock_guard lock(switchMutex_);
    const int key = std::max(page, 0);
    if (milliseconds > 0) {
        pageDelays_.insert(key, milliseconds);
    } else {
        pageDelays_.remove(key);
    }
}

void DemoServer::setListingFailure(int page, int status, const QString& retryAfter, int times) {
    std::lock_guard lock(switchMutex_);
    if (times == 0) {
        pageFailures_.remove(page);
    } else {
        pageFailures_.insert(page, ListingFailure{status, retryAfter, times});
    }
}

bool DemoServer::answerListingFailure(Exchange& ex, int page) {
    ListingFailure failure;
    {
        std::lock_guard lock(switchMutex_);
        const auto it = pageFailures_.find(page);
        if (it == pageFailures_.end()) {
            return false;
        }
        failure = *it;
        if (it->remaining > 0 && --it->remaining == 0) {
            pageFailures_.erase(it);
        }
    }
    if (!failure.retryAfter.isEmpty()) {
        ex.response.set_header("Retry-After", failure.retryAfter.toStdString());
    }
    sendHtml(ex,
             QStringLiteral("<html><head><title>Error %1</title></head><body>Please try again "
                            "later.</body></html>")
                 .arg(failure.status),
             failure.status);
    return true;
}

void DemoServer::waitForListingDelay(int page) {
    std::unique_lock lock(switchMutex_);
    const int ms = pageDelays_.value(page, pageDelays_.value(0, 0));
    if (ms > 0) {
        stopCv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping_; });
    }
}

void DemoServer::setAnnouncement(const QString& text) {
    std::lock_guard lock(switchMutex_);
    announcement_ = text;
}

void DemoServer::log(const QString& service, const httplib::Request& request) {
    LoggedRequest entry;
    entry.host = service;
    entry.method = QString::fromStdString(request.method);
    entry.target = QString::fromStdString(request.target);
    entry.path = entry.target.section(QLatin1Char('?'), 0, 0);
    const qsizetype question = entry.target.indexOf(QLatin1Char('?'));
    entry.query = question < 0 ? QString() : entry.target.mid(question + 1);
    for (const auto& [name, value] : request.headers) {
        entry.headers.append({QString::fromStdString(name), QString::fromStdString(value)});
    }
    entry.body = QByteArray::fromStdString(request.body);
    entry.peer = QString::fromStdString(request.remote_addr) + QLatin1Char(':') +
                 QString::number(request.remote_port);
    std::function<void(const LoggedRequest&)> observer;
    {
        std::lock_guard lock(logMutex_);
        log_.push_back(entry);
        if (log_.size() > kLogLimit) {
            log_.pop_front();
        }
        observer = observer_;
    }
    if (observer) {
        observer(entry);
    }
}

std::vector<LoggedRequest> DemoServer::requestLog() const {
    std::lock_guard lock(logMutex_);
    return {log_.begin(), log_.end()};
}

void DemoServer::clearRequestLog() {
    std::lock_guard lock(logMutex_);
    log_.clear();
}

void DemoServer::setRequestObserver(std::function<void(const LoggedRequest&)> observer) {
    std::lock_guard lock(logMutex_);
    observer_ = std::move(observer);
}

SiteContext DemoServer::siteContext() const {
    return SiteContext{site_.hostPort(), forum_.hostPort(), captchaService_.hostPort(),
                       options_.loginTitle};
}

void DemoServer::sendHtml(Exchange& ex, const QString& html, int status) const {
    QString text = html;
    if (crlf_) {
        text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    }
    sendText(ex, text.toUtf8(), "text/html; charset=utf-8", status);
}

void DemoServer::sendText(Exchange& ex, const QByteArray& bytes, const char* contentType,
                          int status) const {
    ex.response.status = status;
    ex.response.set_content(bytes.toStdString(), contentType);
}

void DemoServer::sendNotFound(Exchange& ex, const QString& what) const {
    sendHtml(ex, notFoundPage(siteContext(), what), 404);
}

std::optional<DemoMember> DemoServer::requireSession(Exchange& ex) const {
    const std::string cookies = ex.request.get_header_value("Cookie");
    const std::optional<QString> token = cookieValue(
        QString::fromStdString(cookies), QString::fromLatin1(AccountBook::kSessionCookie));
    if (token) {
        if (std::optional<DemoMember> member = accounts_.sessionMember(*token)) {
            return member;
        }
    }
    // A lost or missing session shows the login page in place of the page asked for.
    sendHtml(ex,
             loginPage(siteContext(), LoginPageState{requireCaptcha_, false, false, QString()}));
    return std::nullopt;
}

}  // namespace pelloran::demo
