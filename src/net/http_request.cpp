#include "net/http_request.h"

#include "net/cancellation.h"
#include "net/cookie_store.h"
#include "net/multipart_source.h"
#include "net/request_pacer.h"
#include "net/session.h"
#include "text/regex.h"
#include "text/string_helpers.h"

#include <QStringDecoder>
#include <thread>

namespace pelloran {

namespace {

constexpr int kDefaultTimeoutSeconds = 60;

}  // namespace

HttpRequest::HttpRequest(const QString& url, const NetContext& net) : url_(url), net_(net) {}

bool HttpRequest::isResponseValid() const {
    const int status = statusCode();
    return status >= 200 && status < 300;
}

std::optional<QString> HttpRequest::decodeText(const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return QString(QLatin1StringView(""));
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        return text;
    }
    // Plain 7-bit text is also valid UTF-8, so this only restates the rule for completeness.
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            return std::nullopt;
        }
    }
    return QString::fromLatin1(bytes);
}

UrlLoadRequest HttpRequest::buildRequest() const {
    UrlLoadRequest req;
    req.url = url_;
    req.method = type_.toUtf8();
    HeaderList& h = req.headers;
    if (type_ != QLatin1StringView("POST")) {
        if (!bareHeaders_) {
            setHeaderValue(h, "Content-Type", "text/html");
        }
    } else if (client_) {
        const QByteArray body = client_->getData();
        setHeaderValue(h, "Content-Type",
                       "multipart/form-data; boundary=" + QByteArray(kMultipartBoundary.data()));
        setHeaderValue(h, "Keep-Alive", "115");
        setHeaderValue(h, "Accept",
                       "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8");
        setHeaderValue(h, "Content-Length", QByteArray::number(body.size()));
        req.body = body;
    } else {
        const QByteArray body = postData_.toUtf8();
        setHeaderValue(h, "Content-Type", "application/x-www-form-urlencoded");
        setHeaderValue(h, "Content-Length", QByteArray::number(body.size()));
        req.body = body;
    }
    for (auto it = extraHeaders_.constBegin(); it != extraHeaders_.constEnd(); ++it) {
        setHeaderValue(h, it.key().toUtf8(), it.value().toUtf8());
    }
    if (username_ && !username_->isEmpty()) {
        const QString credentials = *username_ + QLatin1Char(':') + password_.value_or(QString());
        setHeaderValue(h, "Authorization",
                       "Basic " + text::base64Encoding(credentials.toUtf8()).toLatin1());
    }
    if (!bareHeaders_) {
        setHeaderValue(h, "User-Agent",
                       overwriteUserAgent_
                           ? QByteArray(kDesktopUserAgent.data(), kDesktopUserAgent.size())
                           : QByteArray(kMobileUserAgent.data(), kMobileUserAgent.size()));
    }
    req.timeoutSeconds = timeout_ != 0 ? timeout_ : kDefaultTimeoutSeconds;
    req.deadline = net_.deadline;
    req.cancellation = net_.cancellation;
    req.sharedCookies = sharedCookies_;
    req.followRedirects = followRedirects_;
    return req;
}

std::chrono::milliseconds HttpRequest::ownLimit() const {
    return std::chrono::seconds(timeout_ != 0 ? timeout_ : kDefaultTimeoutSeconds);
}

void HttpRequest::exchange() {
    const PacedTurn turn(net_.pacer, url_, net_.deadline, ownLimit(), net_.cancellation);
    if (!turn.granted()) {
        // No time left for the turn, or the site asked to wait longer than this request can.
        responseData_.clear();
        urlResponse_.reset();
        result_ = decodeText(responseData_);
        if (turn.heldFor()) {
            slowDown_ = SlowDown{turn.heldFor()};
        }
        return;
    }
    UrlLoadResult loaded = loadUrl(buildRequest(), *net_.cookies);
    responseData_ = std::move(loaded.body);
    urlResponse_ = std::move(loaded.response);
    result_ = decodeText(responseData_);
}

bool HttpRequest::waitedOutSlowDown(bool& retried) {
    if (!urlResponse_) {
        return false;
    }
    const std::optional<SlowDown> asked =
        slowDownAnswer(urlResponse_->statusCode, urlResponse_->headers);
    if (!asked) {
        return false;
    }
    const bool paced = net_.pacer && net_.pacer->covers(url_);
    if (asked->wait && paced) {
        // Every other request to the site keeps to it as well, whether this one waits or not.
        net_.pacer->holdFor(*asked->wait);
    }
    const std::chrono::milliseconds limit =
        net_.deadline.isForever()
            ? ownLimit()
            : std::min(ownLimit(), std::chrono::milliseconds(net_.deadline.remainingTime()));
    if (retried || !asked->wait || *asked->wait >= limit) {
        slowDown_ = asked;
        return false;
    }
    retried = true;
    if (!paced) {
        // The pacer's turn waits otherwise. A program that closes meanwhile ends the wait.
        if (net_.cancellation) {
            net_.cancellation->pauseUntil(QDeadlineTimer(*asked->wait));
        } else {
            std::this_thread::sleep_for(*asked->wait);
        }
    }
    return true;
}

bool HttpRequest::sessionLost() const {
    const Session* session = net_.session;
    if (!session || !result_) {
        return false;
    }
    const QStringList title = text::captureComponentsMatchedByRegex(*result_, kTitlePattern);
    if (title.isEmpty() || session->isLoginUrl(url_) || !session->showLogin()) {
        return false;
    }
    return session->isLoginHeader(title.value(1));
}

void HttpRequest::request() {
    SessionTicket ticket;
    sessionStop_ = SessionStop::None;
    slowDown_.reset();
    bool retried = false;  // one repeat for a slow-down per request, however long it runs
    for (;;) {
        if (net_.session) {
            net_.session->stampTicket(ticket);
        }
        exchange();
        if (slowDown_) {
            return;
        }
        if (waitedOutSlowDown(retried)) {
            continue;
        }
        if (slowDown_ || !sessionLost()) {
            return;
        }
        // The login page came back in place of the page asked for: the session is gone. The
        // session decides whether to sign in again; the request waits and repeats, or ends
        // without a page.
        result_.reset();
        sessionStop_ = net_.session->loginPageMet(ticket, net_.deadline);
        if (sessionStop_ != SessionStop::None) {
            return;
        }
    }
}

HttpRequestRegEx::HttpRequestRegEx(const QString& url, const QString& regex, const NetContext& net)
    : HttpRequest(url, net), regex_(regex) {}

void HttpRequestRegEx::request() {
    HttpRequest::request();
    if (!result()) {
        return;
    }
    const QStringList components = text::captureComponentsMatchedByRegex(*result(), regex_);
    if (components.isEmpty()) {
        return;
    }
    setResult(components.size() > 1 ? components[1] : components[0]);
    elements_ = components;
}

}  // namespace pelloran
