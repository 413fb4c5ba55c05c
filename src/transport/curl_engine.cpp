// libcurl as the HTTP engine (net/http_engine.h), in the pelloran_transport module: a share
// handle holding the cookie engine and the name cache, locked per kind of data, and two pools
// of easy handles, one on the share and one outside it for exchanges that keep their own
// cookies.

#include "net/http_engine.h"
#include "transport/connection_pool.h"
#include "transport/curl_exchange.h"
#include "transport/curl_global.h"

#include <curl/curl.h>

#include <array>
#include <mutex>

namespace pelloran {

namespace {

using ShareLocks = std::array<std::mutex, CURL_LOCK_DATA_LAST>;

void lockShare(CURL*, curl_lock_data data, curl_lock_access, void* user) {
    static_cast<ShareLocks*>(user)->at(data).lock();
}
void unlockShare(CURL*, curl_lock_data data, void* user) {
    static_cast<ShareLocks*>(user)->at(data).unlock();
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

class CurlEngine : public HttpEngine {
public:
    CurlEngine() {
        ensureCurlGlobalInit();
        share_ = curl_share_init();
        curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, lockShare);
        curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, unlockShare);
        curl_share_setopt(share_, CURLSHOPT_USERDATA, &locks_);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
        curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_DNS);
        connections_ = std::make_unique<ConnectionPool>(share_);
        privateConnections_ = std::make_unique<ConnectionPool>(nullptr);
    }
    ~CurlEngine() override {
        connections_.reset();  // its handles hold the share
        curl_share_cleanup(share_);
    }
    CurlEngine(const CurlEngine&) = delete;
    CurlEngine& operator=(const CurlEngine&) = delete;

    QList<QByteArray> cookieLines() const override {
        const EasyHandle h = onShare();
        struct curl_slist* list = nullptr;
        QList<QByteArray> lines;
        if (curl_easy_getinfo(h.get(), CURLINFO_COOKIELIST, &list) == CURLE_OK) {
            for (auto* item = list; item; item = item->next) {
                lines.append(QByteArray(item->data));
            }
        }
        curl_slist_free_all(list);
        return lines;
    }

    void addCookieLine(const QByteArray& line) override {
        const EasyHandle h = onShare();
        curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, line.constData());
    }

    void clearCookies() override {
        const EasyHandle h = onShare();
        curl_easy_setopt(h.get(), CURLOPT_COOKIELIST, "ALL");
    }

    UrlLoadResult load(const UrlLoadRequest& request) override {
        return loadOverCurl(request, request.sharedCookies ? *connections_ : *privateConnections_);
    }

private:
    EasyHandle onShare() const {
        EasyHandle h(curl_easy_init());
        curl_easy_setopt(h.get(), CURLOPT_SHARE, share_);
        return h;
    }

    ShareLocks locks_;
    CURLSH* share_ = nullptr;
    std::unique_ptr<ConnectionPool> connections_;
    std::unique_ptr<ConnectionPool> privateConnections_;
};

}  // namespace

}  // namespace pelloran

extern "C" Q_DECL_EXPORT pelloran::HttpEngine* pelloranMakeHttpEngine() {
    return new pelloran::CurlEngine();  // NOLINT: ownership passes to the caller's unique_ptr
}

// libcurl's process-wide start (TLS among it), done ahead on the thread that loads the module.
extern "C" Q_DECL_EXPORT void pelloranPrepareHttpEngine() {
    pelloran::ensureCurlGlobalInit();
}
