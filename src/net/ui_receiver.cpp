#include "net/ui_receiver.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace pelloran {

void UiReceiver::post(std::function<void()> call) const {
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        return;
    }
    // Queued on the application object, which lives as long as the UI thread; the context is
    // checked there, on its own thread, when the call runs.
    QMetaObject::invokeMethod(
        app,
        [context = context_, needsContext = hasContext_, call = std::move(call)] {
            if (!needsContext || context) {
                call();
            }
        },
        Qt::QueuedConnection);
}

}  // namespace pelloran
