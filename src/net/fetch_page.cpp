#include "net/fetch_page.h"

#include "net/http_request.h"

namespace pelloran {

FetchPage::FetchPage(const QString& url, QObject* context) : url_(url), receiver_(context) {}

void FetchPage::setPageOrder(std::shared_ptr<PageOrder> order, int priority,
                             std::optional<int> dependPriority) {
    order_ = std::move(order);
    priority_ = priority;
    dependPriority_ = dependPriority;
}

void FetchPage::run() {
    main();
    deliver();
}

void FetchPage::deliver() {
    std::function<void()> call = deliveryCall();
    if (order_) {
        if (dependPriority_) {
            order_->waitWhileContains(*dependPriority_);
        }
        // Posting before removing our token is what keeps the UI thread's order: the next
        // page can only post after this one has.
        if (call) {
            receiver_.post(std::move(call));
        }
        order_->remove(priority_);
        return;
    }
    if (!call) {
        return;
    }
    if (deliveryThread_ == DeliveryThread::Operation) {
        call();
    } else {
        receiver_.post(std::move(call));
    }
}

FetchPagePost::FetchPagePost(const QString& url, const QString& post, const NetContext& net,
                             QObject* context, Callback callback)
    : FetchPageWith<bool>(url, context, std::move(callback)), post_(post), net_(net) {}

void FetchPagePost::main() {
    HttpRequest request(url(), net_);
    request.setType(QStringLiteral("POST"));
    request.setPostData(post_);
    request.request();
    setReturnObject(true);
}

FetchPageGeneric::FetchPageGeneric(const QString& url, RequestFactory factory, QObject* context,
                                   Callback callback)
    : FetchPageWith<std::optional<QString>>(url, context, std::move(callback)),
      factory_(std::move(factory)) {}

void FetchPageGeneric::main() {
    if (!factory_) {
        return;
    }
    std::unique_ptr<HttpRequest> request = factory_(url());
    request->request();
    setReturnObject(request->result());
}

}  // namespace pelloran
