#include "net/url_loader.h"

#include "net/cookie_store.h"
#include "net/curl_global.h"

#include <curl/curl.h>

#include <memory>

namespace pelloran {

namespace {

struct Transfer {
    QByteArray body;
    HeaderList headers;
    bool tooLarge = false;
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
        t->headers.clear();  // a new response (after a redirect or a 100): keep only the last
    } else if (const qsizetype colon = line.indexOf(':'); colon > 0) {
        t->headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return n;
}

struct EasyDeleter {
    void operator()(CURL* h) const { curl_easy_cleanup(h); }
};
struct ListDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

}  // namespace

std::optional<QByteArray> headerValue(const HeaderList& headers, const QByteArray& name) {
    for (const auto& [key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            return value;
        }
    }
    return std::nullopt;
}

void setHeaderValue(HeaderList& headers, const QByteArray& name, const QByteArray& value) {
    for (auto& [key, existing] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0) {
            existing = value;
            return;
        }
    }
    headers.append({name, value});
}

UrlLoadResult loadUrl(const UrlLoadRequest& request, CookieStore& cookies) {
    ensureCurlGlobalInit();
    std::unique_ptr<CURL, EasyDeleter> h(curl_easy_init());
    UrlLoadResult result;
    if (!h) {
        return result;
    }
    Transfer transfer;
    const QByteArray url = request.url.toUtf8();
    CURL* e = h.get();
    curl_easy_setopt(e, CURLOPT_URL, url.constData());
    curl_easy_setopt(e, CURLOPT_SHARE, cookies.share());
    curl_easy_setopt(e, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, 20L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_TIMEOUT, static_cast<long>(request.timeoutSeconds));
    curl_easy_setopt(e, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxResponseBytes));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, &transfer);

    curl_slist* raw = nullptr;
    for (const auto& [name, value] : request.headers) {
        raw = curl_slist_append(raw, (name + ": " + value).constData());
    }
    if (request.method == "POST") {
        const QByteArray& body = request.body ? *request.body : QByteArray();
        curl_easy_setopt(e, CURLOPT_POST, 1L);
        curl_easy_setopt(e, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(e, CURLOPT_POSTFIELDS, body.constData());
        // Send the body at once rather than asking the server first: old web UIs don't
        // answer "100 Continue".
        raw = curl_slist_append(raw, "Expect:");
    } else if (request.method != "GET") {
        curl_easy_setopt(e, CURLOPT_CUSTOMREQUEST, request.method.constData());
    }
    std::unique_ptr<curl_slist, ListDeleter> headerList(raw);
    curl_easy_setopt(e, CURLOPT_HTTPHEADER, headerList.get());

    const CURLcode code = curl_easy_perform(e);
    cookies.save();  // also after a failure: a redirect on the way may have set cookies
    if (code != CURLE_OK || transfer.tooLarge) {
        return result;  // no response, empty body
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    if (status <= 0) {
        return result;
    }
    result.response = UrlLoadResponse{static_cast<int>(status), std::move(transfer.headers)};
    result.body = std::move(transfer.body);
    return result;
}

}  // namespace pelloran
