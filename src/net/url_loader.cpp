#include "net/url_loader.h"

#include "net/cookie_store.h"
#include "net/http_engine.h"

namespace pelloran {

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
    UrlLoadResult result = cookies.engine().load(request);
    // Also after a failure: a redirect on the way may have set cookies.
    cookies.save();
    return result;
}

}  // namespace pelloran
