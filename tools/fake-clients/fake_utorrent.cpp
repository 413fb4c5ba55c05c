#include "fake_utorrent.h"

#include <QRandomGenerator>

namespace pelloran::fake {

namespace {

constexpr char kHtml[] = "text/html; charset=utf-8";
constexpr char kText[] = "text/plain";

QByteArray randomToken() {
    quint32 words[12];  // 48 bytes: 64 characters of URL-safe Base64, like the real tokens
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals);
}

QByteArray randomGuid() {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray guid;
    for (int i = 0; i < 20; ++i) {
        guid.append(kAlphabet[QRandomGenerator::system()->bounded(int(sizeof kAlphabet) - 1)]);
    }
    return guid;
}

// Values of every "GUID" cookie in the request's Cookie headers.
QList<QByteArray> guidCookies(const ReceivedRequest& request) {
    QList<QByteArray> values;
    for (const auto& [name, value] : request.headers) {
        if (name.compare("Cookie", Qt::CaseInsensitive) != 0) {
            continue;
        }
        for (const QByteArray& pair : value.split(';')) {
            const qsizetype equals = pair.indexOf('=');
            if (equals > 0 && pair.first(equals).trimmed() == "GUID") {
                values.append(pair.mid(equals + 1).trimmed());
            }
        }
    }
    return values;
}

FakeClientBase::Answer invalidRequest() {
    return {400, kText, kUtorrentInvalidRequest, {}};
}

}  // namespace

FakeUtorrent::FakeUtorrent() : FakeClientBase("uTorrent") {}

// Stops here so no server thread can reach route() once this part of the object is gone.
FakeUtorrent::~FakeUtorrent() {
    stop();
}

void FakeUtorrent::setOmitTokenElement(bool on) {
    std::lock_guard lock(stateMutex_);
    omitTokenElement_ = on;
}

void FakeUtorrent::setRequireGuidCookie(bool on) {
    std::lock_guard lock(stateMutex_);
    requireGuidCookie_ = on;
}

QStringList FakeUtorrent::issuedTokens() const {
    std::lock_guard lock(stateMutex_);
    return tokens_;
}

FakeClientBase::Answer FakeUtorrent::route(const ReceivedRequest& request) {
    const bool get = request.method == "GET" || request.method == "HEAD";
    if (get && request.path == "/gui/token.html") {
        return tokenPage();
    }
    if (get && request.path == "/gui/stylesheet.css") {
        return {200, "text/css", "body { font-family: sans-serif; }\n", {}};
    }
    if (request.path == "/gui/") {
        if (get && request.query.isEmpty()) {
            const QByteArray page = QStringLiteral(
                                        "<html><head><title>%1</title>"
                                        "<link rel=\"stylesheet\" type=\"text/css\" "
                                        "href=\"stylesheet.css\"></head>"
                                        "<body><h1>%1</h1></body></html>")
                                        .arg(QLatin1String(kUtorrentWebUiTitle))
                                        .toUtf8();
            return {200, kHtml, page, {}};
        }
        return gui(request);
    }
    return {404, kText, "not found", {}};
}

FakeClientBase::Answer FakeUtorrent::tokenPage() {
    const QByteArray token = randomToken();
    const QByteArray guid = randomGuid();
    bool omit = false;
    {
        std::lock_guard lock(stateMutex_);
        guidByToken_[token] = guid;
        tokens_.append(QString::fromLatin1(token));
        omit = omitTokenElement_;
    }
    const QByteArray page =
        omit ? QByteArray(kUtorrentPageWithoutToken)
             : "<html><div id='token' style='display:none;'>" + token + "</div></html>";
    return {200, kHtml, page, {{"Set-Cookie", "GUID=" + guid}}};
}

FakeClientBase::Answer FakeUtorrent::gui(const ReceivedRequest& request) {
    const std::optional<QByteArray> token = request.queryValue("token");
    if (!token) {
        return invalidRequest();
    }
    {
        std::lock_guard lock(stateMutex_);
        const auto issued = guidByToken_.find(*token);
        if (issued == guidByToken_.end()) {
            return invalidRequest();
        }
        if (requireGuidCookie_ && !guidCookies(request).contains(issued->second)) {
            return invalidRequest();
        }
    }
    const std::optional<QByteArray> action = request.queryValue("action");
    if (!action) {
        return {200, kText, kUtorrentBuildAnswer, {}};
    }
    if (*action != "add-file" || request.method != "POST" || !request.multipart ||
        request.malformed) {
        return invalidRequest();
    }
    const ReceivedPart* file = request.part("torrent_file");
    if (file == nullptr || !file->filename || file->content.isEmpty()) {
        return invalidRequest();
    }
    addTorrent(*file->filename, file->content);
    return {200, kText, kUtorrentBuildAnswer, {}};
}

}  // namespace pelloran::fake
