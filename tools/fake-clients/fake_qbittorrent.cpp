#include "fake_qbittorrent.h"

#include <QRandomGenerator>
#include <QUrl>

namespace pelloran::fake {

namespace {

constexpr char kText[] = "text/plain; charset=UTF-8";
constexpr char kJson[] = "application/json";
constexpr int kBanAfter = 5;

QByteArray formValue(const QByteArray& body, const QByteArray& name) {
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.first(equals) == name) {
            QByteArray value = pair.mid(equals + 1);
            value.replace('+', ' ');
            return QByteArray::fromPercentEncoding(value);
        }
    }
    return {};
}

QByteArray randomSession() {
    quint32 words[6];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words).toBase64();
}

FakeClientBase::Answer text(int status, const QByteArray& body) {
    return {status, kText, body, {}};
}

}  // namespace

FakeQBittorrent::FakeQBittorrent() : FakeClientBase("qBittorrent") {}

FakeQBittorrent::~FakeQBittorrent() {
    stop();
}

void FakeQBittorrent::setApi(QBittorrentApi api) {
    std::lock_guard lock(stateMutex_);
    api_ = api;
}

void FakeQBittorrent::setLogin(const QString& user, const QString& password) {
    std::lock_guard lock(stateMutex_);
    user_ = user.toUtf8();
    password_ = password.toUtf8();
}

void FakeQBittorrent::setEndSessionBeforeUpload(bool on) {
    std::lock_guard lock(stateMutex_);
    endSession_ = on;
}

void FakeQBittorrent::setAnswerFails(bool on) {
    std::lock_guard lock(stateMutex_);
    answerFails_ = on;
}

void FakeQBittorrent::setHeldHashes(const QByteArrayList& hashes) {
    std::lock_guard lock(stateMutex_);
    heldHashes_ = hashes;
}

int FakeQBittorrent::refusedSignIns() const {
    std::lock_guard lock(stateMutex_);
    return refused_;
}

QByteArray FakeQBittorrent::sessionCookieName() const {
    std::lock_guard lock(stateMutex_);
    return api_ == QBittorrentApi::V4 ? QByteArray("SID") : "QBT_SID_" + QByteArray::number(port());
}

FakeClientBase::Answer FakeQBittorrent::route(const ReceivedRequest& request) {
    if (request.method == "POST" && request.path == "/api/v2/auth/login") {
        return login(request);
    }
    if (request.method == "POST" && request.path == "/api/v2/torrents/add") {
        return add(request);
    }
    if (request.method == "GET" && request.path == "/api/v2/torrents/info") {
        return info(request);
    }
    if (request.method == "GET" && request.path == "/api/v2/app/webapiVersion") {
        std::lock_guard lock(stateMutex_);
        if (!hasSession(request)) {
            return text(403, "Forbidden");
        }
        return text(200, api_ == QBittorrentApi::V4 ? "2.8.19" : "2.11.4");
    }
    if (request.method == "GET" && request.path == "/api/v2/torrents/categories") {
        return categories(request);
    }
    if (request.method == "POST" && request.path == "/api/v2/torrents/createCategory") {
        return createCategory(request);
    }
    if (request.method == "GET" && request.path == "/") {
        return {200,
                "text/html; charset=UTF-8",
                QByteArray("<html><head><title>") + kQBittorrentWebUiTitle +
                    "</title></head><body>sign in</body></html>",
                {}};
    }
    return text(404, "Not Found");
}

bool FakeQBittorrent::hasSession(const ReceivedRequest& request) const {
    const QByteArray name =
        api_ == QBittorrentApi::V4 ? QByteArray("SID") : "QBT_SID_" + QByteArray::number(port());
    for (const QByteArray& pair : request.header("Cookie").split(';')) {
        const qsizetype equals = pair.indexOf('=');
        if (equals > 0 && pair.first(equals).trimmed() == name &&
            sessions_.count(pair.mid(equals + 1).trimmed()) > 0) {
            return true;
        }
    }
    return false;
}

FakeClientBase::Answer FakeQBittorrent::login(const ReceivedRequest& request) {
    const QByteArray origin = "http://127.0.0.1:" + QByteArray::number(port());
    const QByteArray referer = request.header("Referer");
    if (referer != origin && !referer.startsWith(origin + "/")) {
        return text(401, "Unauthorized");
    }
    std::lock_guard lock(stateMutex_);
    if (refused_ >= kBanAfter) {
        return text(403, kQBittorrentBanned);
    }
    if (formValue(request.body, "username") != user_ ||
        formValue(request.body, "password") != password_) {
        ++refused_;
        return text(200, "Fails.");
    }
    const QByteArray session = randomSession();
    sessions_.insert(session);
    const QByteArray name =
        api_ == QBittorrentApi::V4 ? QByteArray("SID") : "QBT_SID_" + QByteArray::number(port());
    Answer answer = text(200, "Ok.");
    answer.headers.append(
        {"Set-Cookie", name + "=" + session + "; HttpOnly; SameSite=Strict; path=/"});
    return answer;
}

FakeClientBase::Answer FakeQBittorrent::add(const ReceivedRequest& request) {
    const ReceivedPart* file = request.part("torrents");
    std::lock_guard lock(stateMutex_);
    if (endSession_) {
        endSession_ = false;
        sessions_.clear();
    }
    if (!hasSession(request)) {
        return text(403, "Forbidden");
    }
    const bool v4 = api_ == QBittorrentApi::V4;
    if (file == nullptr || !file->content.startsWith('d')) {
        return text(415, "Error: the file is not a valid torrent file.");
    }
    if (answerFails_) {
        return text(200, "Fails.");
    }
    for (const QByteArray& held : held_) {
        if (held == file->content) {
            return v4 ? text(200, "Fails.")
                      : Answer{409, kJson, R"({"error":"Torrent already exists"})", {}};
        }
    }
    held_.push_back(file->content);
    addTorrent(file->filename.value_or(QByteArray()), file->content);
    return v4 ? text(200, "Ok.") : Answer{202, kJson, R"({"pending_count":1})", {}};
}

FakeClientBase::Answer FakeQBittorrent::categories(const ReceivedRequest& request) {
    std::lock_guard lock(stateMutex_);
    if (!hasSession(request)) {
        return text(403, "Forbidden");
    }
    QByteArray body = "{";
    for (const QByteArray& name : categories_) {
        body += QByteArray(body.size() > 1 ? "," : "") + "\"" + name + R"(":{"name":")" + name +
                R"(","savePath":""})";
    }
    return {200, kJson, body + "}", {}};
}

FakeClientBase::Answer FakeQBittorrent::createCategory(const ReceivedRequest& request) {
    const QByteArray name = formValue(request.body, "category");
    std::lock_guard lock(stateMutex_);
    if (!hasSession(request)) {
        return text(403, "Forbidden");
    }
    if (name.isEmpty()) {
        return text(400, "Category name is empty");
    }
    // As the real one: a name that is no valid folder name, or one it has already.
    if (name.startsWith('/') || name.endsWith('/') || name.contains("//") ||
        categories_.contains(name)) {
        return text(409, "Category name is invalid");
    }
    categories_.append(name);
    return text(200, {});
}

FakeClientBase::Answer FakeQBittorrent::info(const ReceivedRequest& request) {
    std::lock_guard lock(stateMutex_);
    if (!hasSession(request)) {
        return text(403, "Forbidden");
    }
    const QByteArrayList asked = request.queryValue("hashes").value_or(QByteArray()).split('|');
    QByteArray body = "[";
    for (const QByteArray& hash : heldHashes_) {
        if (asked.contains(hash)) {
            body += QByteArray(body.size() > 1 ? "," : "") + R"({"hash":")" + hash +
                    R"(","name":"held"})";
        }
    }
    return {200, kJson, body + "]", {}};
}

}  // namespace pelloran::fake
