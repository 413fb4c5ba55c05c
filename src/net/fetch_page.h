#pragma once
// Background page fetches. An operation runs on a queue thread, does its exchanges and parsing
// in main(), and then hands one result to a typed callback:
//  - normally on the UI thread (the thread of the QCoreApplication), dropped when the context
//    object is gone by then;
//  - on the operation's own thread when asked (the silent re-login's answer);
//  - in page order among sibling fetches sharing a PageOrder (favorites pages).
// No callback means nothing is delivered.

#include "net/net_context.h"
#include "net/operation_queue.h"
#include "net/page_order.h"
#include "net/ui_receiver.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace pelloran {

class HttpRequest;

enum class DeliveryThread { Ui, Operation };

class FetchPage : public Operation {
public:
    FetchPage(const QString& url, QObject* context);

    QString url() const { return url_; }
    void setUrl(const QString& url) { url_ = url; }

    // Deliver after the page `dependPriority` has left `order`, then remove `priority`.
    // No dependPriority: deliver as soon as the page is ready (the first page of a block).
    void setPageOrder(std::shared_ptr<PageOrder> order, int priority,
                      std::optional<int> dependPriority);
    void setDeliveryThread(DeliveryThread thread) { deliveryThread_ = thread; }

    void run() final;

protected:
    virtual void main() = 0;                           // the operation's own work
    virtual std::function<void()> deliveryCall() = 0;  // empty when there is no callback

private:
    void deliver();

    QString url_;
    UiReceiver receiver_;
    std::shared_ptr<PageOrder> order_;
    int priority_ = 0;
    std::optional<int> dependPriority_;
    DeliveryThread deliveryThread_ = DeliveryThread::Ui;
};

// A fetch that delivers a value of type Result (copied into the callback).
template <typename Result>
class FetchPageWith : public FetchPage {
public:
    using Callback = std::function<void(Result)>;

    FetchPageWith(const QString& url, QObject* context, Callback callback)
        : FetchPage(url, context), callback_(std::move(callback)) {}

    void setReturnObject(Result value) { returnObject_ = std::move(value); }
    const Result& returnObject() const { return returnObject_; }

protected:
    std::function<void()> deliveryCall() override {
        if (!callback_) {
            return {};
        }
        return [callback = callback_, value = returnObject_] { callback(value); };
    }

private:
    Callback callback_;
    Result returnObject_{};
};

// POSTs a form body; delivers true whatever the outcome.
class FetchPagePost : public FetchPageWith<bool> {
public:
    FetchPagePost(const QString& url, const QString& post, const NetContext& net, QObject* context,
                  Callback callback);
    QString post() const { return post_; }

protected:
    void main() override;
    const NetContext& net() const { return net_; }

private:
    QString post_;
    NetContext net_;
};

// GETs the URL through a request of the caller's choice; delivers that request's result.
class FetchPageGeneric : public FetchPageWith<std::optional<QString>> {
public:
    using RequestFactory = std::function<std::unique_ptr<HttpRequest>(const QString& url)>;
    FetchPageGeneric(const QString& url, RequestFactory factory, QObject* context,
                     Callback callback);

protected:
    void main() override;

private:
    RequestFactory factory_;
};

}  // namespace pelloran
