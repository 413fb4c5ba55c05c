#pragma once
// An AlertSink that records every alert, from any thread, for expectations.

#include "remote/alert_sink.h"

#include <QMutex>
#include <QMutexLocker>
#include <ostream>
#include <vector>

namespace pelloran {

// Alerts never hold secrets, so printing them in a failure message is safe.
inline void PrintTo(const Alert& alert, std::ostream* os) {
    *os << "Alert{\"" << alert.title.toStdString() << "\", \"" << alert.message.toStdString()
        << "\", [" << alert.buttons.join(QStringLiteral(", ")).toStdString() << "]}";
}

namespace test {

class RecordingAlertSink : public AlertSink {
public:
    void showAlert(const Alert& alert) override {
        QMutexLocker lock(&mutex_);
        alerts_.push_back(alert);
    }
    std::vector<Alert> alerts() const {
        QMutexLocker lock(&mutex_);
        return alerts_;
    }
    void clear() {
        QMutexLocker lock(&mutex_);
        alerts_.clear();
    }

private:
    mutable QMutex mutex_;
    std::vector<Alert> alerts_;
};

}  // namespace test
}  // namespace pelloran
