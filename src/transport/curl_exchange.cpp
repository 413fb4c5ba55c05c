#include "transport/curl_exchange.h"

#include "net/cancellation.h"
#include "net/deadline.h"

#include <curl/curl.h>

#include <memory>

namespace pelloran {

namespace {

constexpr int kDefaultTimeoutSeconds = 60;
// The longest a waiting exchange sleeps before libcurl looks at its timers again; a
// cancellation wakes it earlier.
constexpr int kPollMs = 1000;

struct Transfer {
    QByteArray body;
    HeaderList headers;
    bool tooLarge = false;
};

// One request of an exchange: the first, or one that follows a redirect.
struct Hop {
    QByteArray url;
    QByteArray method;
    std::optional<QByteArray> body;
    HeaderList headers;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->body.size() + static_cast<qint64>(n) > kMaxResponseBytes) {
        t->tooLarge = true;
        return 0;  // makes curl fail the transfer
    }
    t->body.append(data, static_cast<qsizetype>(n));
    return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
    if (line.startsWith("HTTP/")) {
        t->headers.clear();  // a new response (after a 100 Continue): keep only the last
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        t->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
        // A body of announced size is kept in one block from the start: growing a large page
        // piece by piece copies it over and over and touches twice the memory.
        if (t->body.isEmpty() && t->headers.last().first.compare("Content-Length",
                                                                 Qt::CaseInsensitive) == 0) {
            bool ok = false;
            const qint64 announced = t->headers.last().second.toLongLong(&ok);
            if (ok && announced > 0 && announced <= kMaxResponseBytes) {
                t->body.reserve(static_cast<qsizetype>(announced));
            }
        }
    }
    return n;
}

struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};
struct UrlDeleter {
    void operator()(CURLU* u) const { curl_url_cleanup(u); }
};

// "scheme://host:port" with the scheme's default port filled in; "" when the URL can't be read.
QByteArray originOf(const QByteArray& url) {
    std::unique_ptr<CURLU, UrlDeleter> u(curl_url());
    if (!u || curl_url_set(u.get(), CURLUPART_URL, url.constData(),
                           CURLU_NON_SUPPORT_SCHEME | CURLU_ALLOW_SPACE) != CURLUE_OK) {
        return {};
    }
    QByteArray origin;
    for (const CURLUPart part : {CURLUPART_SCHEME, CURLUPART_HOST, CURLUPART_PORT}) {
        char* value = nullptr;
        if (curl_url_get(u.get(), part, &value, CURLU_DEFAULT_PORT) != CURLUE_OK) {
            return {};
        }
        origin += QByteArray(value).toLower() + (part == CURLUPART_SCHEME ? "://" : ":");
        curl_free(value);
    }
    return origin;
}

// An origin that can't be read is never the same as another.
bool sameOrigin(const QByteArray& a, const QByteArray& b) {
    return !a.isEmpty() && a == b;
}

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

void removeHeaders(HeaderList& headers, std::initializer_list<const char*> names) {
    headers.removeIf([&](const QPair<QByteArray, QByteArray>& header) {
        for (const char* name : names) {
            if (header.first.compare(name, Qt::CaseInsensitive) == 0) {
                return true;
            }
        }
        return false;
    });
}

// Time left until `limit` in whole milliseconds, rounded up (curl reads 0 as "no limit").
long remainingMs(const QDeadlineTimer& limit) {
    const qint64 ns = limit.remainingTimeNSecs();
    return static_cast<long>(std::max<qint64>(1, (ns + 999'999) / 1'000'000));
}

// libcurl's progress callback: a non-zero answer ends the transfer
// (CURLE_ABORTED_BY_CALLBACK).
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return isCancelled(static_cast<const Cancellation*>(user)) ? 1 : 0;
}

// Ends a multi handle's poll from another thread.
class MultiWaker : public Waker {
public:
    explicit MultiWaker(CURLM* multi) : multi_(multi) {}
    void wake() override { curl_multi_wakeup(multi_); }

private:
    CURLM* multi_;
};

// Runs the transfer set up on `e` through its own multi handle, so that a cancellation can
// wake the wait at once. The handle leaves the multi handle afterwards; its connection stays in
// the multi handle's cache unless the transfer was cut short.
CURLcode perform(CURL* e, CURLM* multi, Cancellation* cancellation) {
    if (isCancelled(cancellation)) {
        return CURLE_ABORTED_BY_CALLBACK;
    }
    if (curl_multi_add_handle(multi, e) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    CURLcode result = CURLE_ABORTED_BY_CALLBACK;
    {
        MultiWaker waker(multi);
        const Cancellation::Watch watch(cancellation, &waker);
        for (;;) {
            int running = 0;
            if (curl_multi_perform(multi, &running) != CURLM_OK) {
                result = CURLE_FAILED_INIT;
                break;
            }
            if (running == 0) {
                int left = 0;
                while (const CURLMsg* message = curl_multi_info_read(multi, &left)) {
                    if (message->msg == CURLMSG_DONE && message->easy_handle == e) {
                        result = message->data.result;
                    }
                }
                break;
            }
            if (isCancelled(cancellation) ||
                curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
                break;  // the transfer is dropped unfinished
            }
        }
    }
    curl_multi_remove_handle(multi, e);
    return result;
}

// Performs one request without following a redirect. False on any transport error.
bool performHop(const ConnectionPool::Lease& lease, const Hop& hop, bool cookieEngine,
                long timeoutMs, Cancellation* cancellation, Transfer& transfer) {
    CURL* e = lease.get();
    curl_easy_reset(e);  // nothing of the previous hop stays; its connections do
    curl_easy_setopt(e, CURLOPT_URL, hop.url.constData());
    if (cookieEngine) {
        curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on
    }
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxResponseBytes));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);

    curl_slist* raw = nullptr;
    for (const auto& [name, value] : hop.headers) {
        raw = curl_slist_append(raw, (name + ": " + value).constData());
    }
    if (hop.method == "POST") {
        const QByteArray& body = hop.body ? *hop.body : QByteArray();
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, body.constData());
        // Send the body at once rather than asking the server first: old web UIs don't
        // answer "100 Continue".
        raw = curl_slist_append(raw, "Expect:");
    } else if (hop.method != "GET") {
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, hop.method.constData());
    }
    std::unique_ptr<curl_slist, ListDeleter> headerList(raw);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList.get());

    if (cancellation) {
        curl_easy_setopt(e, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(e, CURLOPT_XFERINFOFUNCTION, onProgress);
        curl_easy_setopt(e, CURLOPT_XFERINFODATA, cancellation);
    }
    const CURLcode code = perform(e, lease.multi(), cancellation);
    // The handle goes back to the pool: leave it pointing at nothing of ours.
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(e, CURLOPT_POSTFIELDS, nullptr);
    return code == CURLE_OK && !transfer.tooLarge;
}

}  // namespace

UrlLoadResult loadOverCurl(const UrlLoadRequest& request, ConnectionPool& pool) {
    UrlLoadResult result;
    const int ownSeconds =
        request.timeoutSeconds > 0 ? request.timeoutSeconds : kDefaultTimeoutSeconds;
    const QDeadlineTimer limit =
        earlierDeadline(QDeadlineTimer(std::chrono::seconds(ownSeconds)), request.deadline);
    Hop hop{request.url.toUtf8(), request.method, request.body, request.headers};
    const QByteArray firstOrigin = originOf(hop.url);
    QByteArray origin = firstOrigin;
    ConnectionPool::Lease lease = pool.acquire(origin);
    if (!lease.get()) {
        return result;
    }

    for (int redirects = 0;; ++redirects) {
        if (limit.hasExpired() || isCancelled(request.cancellation)) {
            return result;  // no time left for this hop, or nobody waits for it any more
        }
        Transfer transfer;
        if (!performHop(lease, hop, request.sharedCookies, remainingMs(limit), request.cancellation,
                        transfer)) {
            return result;
        }
        lease.setOrigin(origin);
        long status = 0;
        curl_easy_getinfo(lease.get(), CURLINFO_RESPONSE_CODE, &status);
        if (status <= 0) {
            return result;
        }
        const char* location = nullptr;
        curl_easy_getinfo(lease.get(), CURLINFO_REDIRECT_URL, &location);
        if (!isRedirect(status) || !location || !request.followRedirects) {
            result.response =
                UrlLoadResponse{static_cast<int>(status), std::move(transfer.headers)};
            result.body = std::move(transfer.body);
            return result;
        }
        if (redirects == kMaxRedirects) {
            return result;
        }
        const QByteArray nextUrl(location);
        const QByteArray nextOrigin = originOf(nextUrl);
        const bool repeatsMethod = status == 307 || status == 308;
        if (repeatsMethod && hop.body && !sameOrigin(nextOrigin, firstOrigin)) {
            return result;  // the body was meant for its own host only
        }
        const bool becomesGet =
            !repeatsMethod &&
            (status == 303 ? hop.method != "GET" && hop.method != "HEAD" : hop.method == "POST");
        if (becomesGet) {
            hop.method = "GET";
            hop.body.reset();
            removeHeaders(hop.headers, {"Content-Type", "Content-Length", "Content-Encoding",
                                        "Content-Language", "Content-Location"});
        }
        if (!sameOrigin(nextOrigin, origin)) {
            removeHeaders(hop.headers, {"Authorization", "Cookie"});
        }
        hop.url = nextUrl;
        origin = nextOrigin;
    }
}

}  // namespace pelloran
