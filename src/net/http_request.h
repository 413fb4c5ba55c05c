#pragma once
// One synchronous HTTP exchange and its outcome (HttpRequest), and the single-pattern reader
// built on it (HttpRequestRegEx). Every network access of the system goes through these.
//
// request() blocks the calling thread: run it on an operation thread. When a site page comes
// back as the login page while the main interface shows, it waits for the silent re-login and
// repeats itself, so callers never see the login page in place of their page. The session's
// limits (session.h) may end it without a page instead: sessionStop() says why.
//
// Each exchange is limited to its timeout (60 s unless set), cut to what is left of the
// deadline its NetContext carries (deadline.h); url_loader.h says what the limit covers and how
// redirects are followed. Within a member action the wait for a re-login ends at the deadline
// too, with no page (SessionStop::OutOfTime).
//
// A server that asks to slow down (429, or 503 with Retry-After; slow_down.h) is waited out and
// asked once more when the wait it names ends within the exchange's own limit and the action's
// deadline; never more than once per request. Otherwise, or when it asks again, the request ends
// with that answer and slowDown() says for how long. With a pacer in the NetContext the wait is
// the pacer's, so every other request to the site waits too (request_pacer.h).

#include "net/net_context.h"
#include "net/session.h"
#include "net/slow_down.h"
#include "net/url_loader.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelloran {

class MultipartSource;

// Desktop browser User-Agent, sent by every request except the forum's. The text ends after
// the last "CLR", without a closing parenthesis, exactly as the site has always seen it.
inline constexpr QLatin1StringView kDesktopUserAgent{
    "Mozilla/4.0 (compatible; MSIE 7.0; Windows NT 6.1; Trident/4.0; SLCC2; .NET CLR 2.0.50727; "
    ".NET CLR 3.5.30729; .NET CLR"};
// Mobile User-Agent, for the forum's mobile pages.
inline constexpr QLatin1StringView kMobileUserAgent{
    "Mozilla/5.0 (iPhone; U; CPU like Mac OS X; en) AppleWebKit/420+ (KHTML, like Gecko) "
    "Version/3.0 Mobile/1C25 Safari/419.3"};

class HttpRequest {
public:
    HttpRequest(const QString& url, const NetContext& net);
    virtual ~HttpRequest() = default;
    HttpRequest(const HttpRequest&) = delete;
    HttpRequest& operator=(const HttpRequest&) = delete;

    // Performs the exchange; afterwards the outcome fields hold the result.
    virtual void request();

    // A response came and its status is 200..299.
    bool isResponseValid() const;

    QString url() const { return url_; }
    QString type() const { return type_; }
    void setType(const QString& method) { type_ = method; }
    void setPostData(const QString& body) { postData_ = body; }
    // When set, a POST carries the source's multipart body. Not owned; must outlive request().
    void setClient(MultipartSource* client) { client_ = client; }
    void setExtraHeaders(const QMap<QString, QString>& headers) { extraHeaders_ = headers; }
    void setUsername(const std::optional<QString>& username) { username_ = username; }
    void setPassword(const std::optional<QString>& password) { password_ = password; }
    void setOverwriteUserAgent(bool desktop) { overwriteUserAgent_ = desktop; }
    void setTimeout(int seconds) { timeout_ = seconds; }
    // A GET as a browser fetches a file: no Content-Type and no User-Agent of our own.
    void setBareHeaders(bool bare) { bareHeaders_ = bare; }
    // False: the shared cookie store's cookies are neither sent nor kept (url_loader.h); the
    // caller keeps its own session and sends it in a "Cookie" extra header.
    void setSharedCookies(bool shared) { sharedCookies_ = shared; }
    // False: a redirect is not followed but is the answer (status 301..308, not valid). For
    // uploads, whose redirect would be followed as a GET without the file.
    void setFollowRedirects(bool follow) { followRedirects_ = follow; }

    // Outcome.
    const std::optional<QString>& result() const { return result_; }  // absent: not text
    const QByteArray& responseData() const { return responseData_; }
    const std::optional<UrlLoadResponse>& urlResponse() const { return urlResponse_; }
    HeaderList headers() const { return urlResponse_ ? urlResponse_->headers : HeaderList{}; }
    int statusCode() const { return urlResponse_ ? urlResponse_->statusCode : 0; }
    // Why the lost-session rule ended the request without its page (result() is then absent).
    SessionStop sessionStop() const { return sessionStop_; }
    // The server asked to slow down and the request did not wait (long enough) for it.
    const std::optional<SlowDown>& slowDown() const { return slowDown_; }

    // A parser may decode a response that another request fetched.
    void setResponseData(const QByteArray& data) { responseData_ = data; }
    void setResult(const std::optional<QString>& text) { result_ = text; }

    // UTF-8, else ASCII; absent when the bytes are neither. No bytes give "".
    static std::optional<QString> decodeText(const QByteArray& bytes);

protected:
    const NetContext& net() const { return net_; }

private:
    UrlLoadRequest buildRequest() const;
    void exchange();
    bool sessionLost() const;
    // After an exchange: true when the answer asked to slow down and it was waited out (the
    // exchange is then repeated); false when it did not ask, or slowDown_ is set.
    bool waitedOutSlowDown(bool& retried);
    std::chrono::milliseconds ownLimit() const;

    const QString url_;
    const NetContext net_;
    QString type_ = QStringLiteral("GET");
    QString postData_;
    MultipartSource* client_ = nullptr;
    QMap<QString, QString> extraHeaders_;
    std::optional<QString> username_;
    std::optional<QString> password_;
    bool overwriteUserAgent_ = true;
    int timeout_ = 0;
    bool bareHeaders_ = false;
    bool sharedCookies_ = true;
    bool followRedirects_ = true;

    std::optional<QString> result_;
    QByteArray responseData_;
    std::optional<UrlLoadResponse> urlResponse_;
    SessionStop sessionStop_ = SessionStop::None;
    std::optional<SlowDown> slowDown_;
};

// An HttpRequest whose result is the first capture group of one regular expression.
class HttpRequestRegEx : public HttpRequest {
public:
    HttpRequestRegEx(const QString& url, const QString& regex, const NetContext& net);

    // After the exchange: when the pattern matches, result() is group 1 and elements() every
    // component; otherwise result() stays the whole page and elements() stays absent.
    void request() override;

    QString regex() const { return regex_; }
    const std::optional<QStringList>& elements() const { return elements_; }

private:
    const QString regex_;
    std::optional<QStringList> elements_;
};

// The page-title pattern every exchange checks for the login page.
inline constexpr QLatin1StringView kTitlePattern{"<title>(.*)</title>"};

}  // namespace pelloran
