#include "fake_client_base.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

namespace pelloran::fake {

namespace {

constexpr char kLoopback[] = "127.0.0.1";

// httplib parses every multipart/form-data body itself, leniently, and then withholds the raw
// bytes. The pre-routing hook parks the announced type under this name so the body arrives raw.
constexpr char kParkedContentType[] = "X-Pelloran-Fake-Parked-Content-Type";

// Headers httplib adds to a request on its own; they were never on the wire.
bool isServerAddedHeader(const std::string& name) {
    return name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
           name == "LOCAL_PORT";
}

ReceivedRequest makeRecord(const httplib::Request& request) {
    ReceivedRequest record;
    record.method = QByteArray::fromStdString(request.method);
    record.target = QByteArray::fromStdString(request.target);
    record.path = QByteArray::fromStdString(request.path);
    for (const auto& [name, value] : request.params) {
        record.query.append({QByteArray::fromStdString(name), QByteArray::fromStdString(value)});
    }
    for (const auto& [name, value] : request.headers) {
        if (isServerAddedHeader(name)) {
            continue;
        }
        const QByteArray wireName = name == kParkedContentType ? QByteArrayLiteral("Content-Type")
                                                               : QByteArray::fromStdString(name);
        record.headers.append({wireName, QByteArray::fromStdString(value)});
    }
    record.body = QByteArray::fromStdString(request.body);

    const QByteArray contentType = record.header("Content-Type");
    const qsizetype semicolon = contentType.indexOf(';');
    const QByteArray mediaType = semicolon < 0 ? contentType : contentType.first(semicolon);
    record.multipart = mediaType.trimmed().compare("multipart/form-data", Qt::CaseInsensitive) == 0;
    if (record.multipart) {
        const std::optional<QByteArray> boundary = multipartBoundary(contentType);
        if (!boundary) {
            record.malformed = true;
            record.malformedReason = QStringLiteral("Content-Type announces no usable boundary");
        } else {
            MultipartParse parse = parseMultipartBody(record.body, *boundary);
            record.malformed = !parse.ok();
            record.malformedReason = parse.error;
            record.parts = std::move(parse.parts);
        }
    }
    return record;
}

// httplib cannot close a connection without answering, so the accepted socket serving this
// request is found by its two port numbers and shut down; httplib's own write then fails
// quietly (its server ignores SIGPIPE) and it closes the descriptor as usual.
void shutdownConnection(int localPort, int remotePort) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const int fd = std::atoi(entry.path().filename().c_str());
        sockaddr_in local{};
        socklen_t length = sizeof local;
        if (::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &length) != 0 ||
            local.sin_family != AF_INET || ntohs(local.sin_port) != localPort) {
            continue;
        }
        sockaddr_in peer{};
        length = sizeof peer;
        if (::getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &length) != 0 ||
            peer.sin_family != AF_INET || ntohs(peer.sin_port) != remotePort) {
            continue;
        }
        ::shutdown(fd, SHUT_RDWR);
        return;
    }
}

}  // namespace

struct FakeClientBase::Server {
    httplib::Server http;
    std::thread thread;
    std::atomic<bool> listenEnded{false};
};

FakeClientBase::FakeClientBase(QByteArray realm) : realm_(std::move(realm)) {}

// Subclasses stop in their own destructors too: a request arriving during destruction must not
// reach route() once the subclass part is gone.
FakeClientBase::~FakeClientBase() {
    stop();
}

bool FakeClientBase::start(int port) {
    if (server_) {
        return false;
    }
    auto server = std::make_unique<Server>();
    httplib::Server& http = server->http;
    // httplib writes an answer's head and body apart; without this the body waits for the
    // client's delayed ACK (40 ms) whenever the client keeps its connection for the next request.
    http.set_tcp_nodelay(true);
    // One request per connection ("Connection: close"): httplib's stop() would otherwise wait
    // out its 5 s keep-alive for every connection a client keeps open for later.
    http.set_keep_alive_max_count(1);
    http.set_pre_routing_handler([](const httplib::Request& request, httplib::Response&) {
        // The request object itself is not const; httplib only hands it on as const.
        auto& headers = const_cast<httplib::Request&>(request).headers;
        std::vector<std::string> values;
        const auto [first, last] = headers.equal_range("Content-Type");
        for (auto it = first; it != last; ++it) {
            values.push_back(it->second);
        }
        headers.erase("Content-Type");
        for (std::string& value : values) {
            headers.emplace(kParkedContentType, std::move(value));
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    const auto handler = [this](const httplib::Request& request, httplib::Response& response) {
        serve(request, response);
    };
    http.Get(".*", handler);
    http.Post(".*", handler);
    http.Put(".*", handler);
    http.Patch(".*", handler);
    http.Delete(".*", handler);
    http.Options(".*", handler);

    const int bound = port == 0 ? http.bind_to_any_port(kLoopback)
                                : (http.bind_to_port(kLoopback, port) ? port : -1);
    if (bound <= 0) {
        return false;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = false;
    }
    Server& running = *server;
    running.thread = std::thread([&running] {
        running.http.listen_after_bind();
        running.listenEnded = true;
    });
    // httplib's stop() does nothing until the listen loop runs, so wait for it: a fake that
    // could not be stopped would hang its owner's teardown.
    while (!http.is_running() && !running.listenEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (running.listenEnded) {
        running.thread.join();
        return false;
    }
    port_ = bound;
    server_ = std::move(server);
    return true;
}

void FakeClientBase::stop() {
    if (!server_) {
        return;
    }
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    server_->http.stop();
    server_->thread.join();
    server_.reset();
    port_ = 0;
}

int FakeClientBase::port() const {
    return port_;
}

QString FakeClientBase::hostPort() const {
    return QStringLiteral("%1:%2").arg(QLatin1String(kLoopback)).arg(port());
}

QString FakeClientBase::url(const QString& pathAndQuery) const {
    return QStringLiteral("http://") + hostPort() + pathAndQuery;
}

void FakeClientBase::setCredentials(const QString& user, const QString& password) {
    std::lock_guard lock(mutex_);
    user_ = user.toUtf8();
    password_ = password.toUtf8();
}

void FakeClientBase::setNoAnswer(bool on) {
    {
        std::lock_guard lock(mutex_);
        noAnswer_ = on;
    }
    changed_.notify_all();
}

void FakeClientBase::setAnswerDelay(std::chrono::milliseconds delay) {
    {
        std::lock_guard lock(mutex_);
        answerDelay_ = delay;
    }
    changed_.notify_all();
}

void FakeClientBase::setDropConnection(bool on) {
    std::lock_guard lock(mutex_);
    dropConnection_ = on;
}

void FakeClientBase::setFailWithStatus(int status) {
    std::lock_guard lock(mutex_);
    failStatus_ = status;
}

std::vector<ReceivedRequest> FakeClientBase::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

ReceivedRequest FakeClientBase::lastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? ReceivedRequest{} : requests_.back();
}

std::vector<AddedTorrent> FakeClientBase::addedTorrents() const {
    std::lock_guard lock(mutex_);
    return added_;
}

bool FakeClientBase::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return requests_.size() >= count; });
}

void FakeClientBase::clear() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    sequences_.clear();
    added_.clear();
}

void FakeClientBase::addTorrent(const QByteArray& filename, const QByteArray& bytes) {
    std::lock_guard lock(mutex_);
    added_.push_back({filename, bytes, bytes.startsWith('d')});
}

void FakeClientBase::serve(const httplib::Request& request, httplib::Response& response) {
    ReceivedRequest record = makeRecord(request);
    std::uint64_t sequence = 0;
    {
        std::lock_guard lock(mutex_);
        sequence = nextSequence_++;
        requests_.push_back(record);
        sequences_.push_back(sequence);
    }
    changed_.notify_all();

    const bool released = holdAnswer();
    bool drop = false;
    int failStatus = 0;
    {
        std::lock_guard lock(mutex_);
        drop = dropConnection_ || !released;
        failStatus = failStatus_;
    }
    if (drop) {
        shutdownConnection(request.local_port, request.remote_port);
        response.status = 500;  // never reaches the peer
        return;
    }

    Answer answer;
    if (failStatus != 0) {
        answer.status = failStatus;
        answer.body = "<html><body>Simulated failure</body></html>";
    } else if (!authorized(record)) {
        answer.status = 401;
        answer.body = "<html><body>401 Unauthorized</body></html>";
        answer.headers.append({"WWW-Authenticate", "Basic realm=\"" + realm_ + "\""});
    } else {
        answer = route(record);
    }
    setStatus(sequence, answer.status);
    response.status = answer.status;
    for (const auto& [name, value] : answer.headers) {
        response.set_header(name.toStdString(), value.toStdString());
    }
    response.set_content(answer.body.toStdString(), answer.contentType.toStdString());
}

bool FakeClientBase::holdAnswer() {
    std::unique_lock lock(mutex_);
    const auto arrived = std::chrono::steady_clock::now();
    for (;;) {
        if (stopping_) {
            return false;
        }
        if (noAnswer_) {
            changed_.wait(lock);
            continue;
        }
        const auto until = arrived + answerDelay_;
        if (answerDelay_.count() > 0 && std::chrono::steady_clock::now() < until) {
            changed_.wait_until(lock, until);
            continue;
        }
        return true;
    }
}

bool FakeClientBase::authorized(const ReceivedRequest& request) const {
    QByteArray user;
    QByteArray password;
    {
        std::lock_guard lock(mutex_);
        if (user_.isEmpty()) {
            return true;
        }
        user = user_;
        password = password_;
    }
    const QByteArray value = request.header("Authorization").trimmed();
    if (!value.left(6).toLower().startsWith("basic ")) {
        return false;
    }
    const auto decoded = QByteArray::fromBase64Encoding(value.mid(6).trimmed(),
                                                        QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return false;
    }
    const QByteArray& pair = decoded.decoded;
    const qsizetype colon = pair.indexOf(':');
    return colon >= 0 && pair.left(colon) == user && pair.mid(colon + 1) == password;
}

void FakeClientBase::setStatus(std::uint64_t sequence, int status) {
    std::lock_guard lock(mutex_);
    for (std::size_t i = sequences_.size(); i-- > 0;) {
        if (sequences_[i] == sequence) {
            requests_[i].status = status;
            return;
        }
    }
}

}  // namespace pelloran::fake
