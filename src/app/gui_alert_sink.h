#pragma once
// The GUI's AlertSink: an alert raised on an operation thread is handed to the UI thread and
// shown there as a non-blocking message box by `show` (the root controller). The operation
// does not wait for the member; alerts keep the order they were raised in, ahead of the
// operation's own delivery.

#include "net/ui_receiver.h"
#include "remote/alert_sink.h"

#include <functional>

namespace pelloran {

class GuiAlertSink : public AlertSink {
public:
    // `show` runs on the UI thread, while `context` lives.
    GuiAlertSink(QObject* context, std::function<void(const Alert&)> show);
    void showAlert(const Alert& alert) override;

private:
    UiReceiver receiver_;
    std::function<void(const Alert&)> show_;
};

}  // namespace pelloran
