#include "app/gui_alert_sink.h"

namespace pelloran {

GuiAlertSink::GuiAlertSink(QObject* context, std::function<void(const Alert&)> show)
    : receiver_(context), show_(std::move(show)) {}

void GuiAlertSink::showAlert(const Alert& alert) {
    receiver_.post([show = show_, alert] { show(alert); });
}

}  // namespace pelloran
