#pragma once
// The receiver of a background result: calls handed to it run on the UI thread (the thread of
// the QCoreApplication), without the sender waiting. When it was made with a context object
// that is gone by the time the call runs, the call is dropped: the screen that asked has left.
// Made on the UI thread; post() may be called from any thread.

#include <QObject>
#include <QPointer>
#include <functional>

namespace pelloran {

class UiReceiver {
public:
    explicit UiReceiver(QObject* context) : context_(context), hasContext_(context != nullptr) {}
    void post(std::function<void()> call) const;

private:
    QPointer<QObject> context_;
    bool hasContext_;
};

}  // namespace pelloran
