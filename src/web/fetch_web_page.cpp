#include "web/fetch_web_page.h"

#include "net/deadline.h"
#include "site/page_rewriting.h"

namespace pelloran::web {

FetchPageDetails::FetchPageDetails(const QString& url, const SiteContext& site, QObject* context,
                                   Callback callback)
    : FetchPageWith<DetailsPage>(url, context, std::move(callback)), site_(site) {}

void FetchPageDetails::main() {
    HttpRequestRegExDetails request(url(), site_.withDeadline(startAction()));
    request.request();
    setReturnObject(DetailsPage{request.result(), request.imdb()});
}

std::unique_ptr<FetchPageGeneric> makePageFetch(const QString& url, PageKind kind,
                                                const SiteContext& site, QObject* context,
                                                FetchPageGeneric::Callback callback) {
    // Called on the queue thread when the fetch starts: the clock starts there.
    auto factory = [kind, net = site.net](const QString& address) -> std::unique_ptr<HttpRequest> {
        const NetContext visit = net.withDeadline(startAction());
        switch (kind) {
            case PageKind::Profile:
                return std::make_unique<HttpRequestRegExProfileDetails>(address, visit);
            case PageKind::Forum:
                return std::make_unique<HttpRequestRegExForum>(address, visit);
            case PageKind::Plain:
                break;
        }
        return std::make_unique<HttpRequest>(address, visit);
    };
    return std::make_unique<FetchPageGeneric>(url, factory, context, std::move(callback));
}

}  // namespace pelloran::web
