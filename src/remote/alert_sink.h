#pragma once
// How a background operation puts a modal alert in front of the member without touching a
// widget: the front end implements AlertSink (the GUI with a message box on the UI thread, the
// command line on its terminal, tests by recording).

#include <QString>
#include <QStringList>

namespace pelloran {

// Most alerts report a problem; some only tell the member how something went.
enum class AlertKind { Problem, Information };

struct Alert {
    QString title;
    QString message;
    QStringList buttons;
    int tag = 0;  // reported back with the tapped button; 0 for the push and test alerts
    AlertKind kind = AlertKind::Problem;

    friend bool operator==(const Alert&, const Alert&) = default;
};

class AlertSink {
public:
    virtual ~AlertSink() = default;
    // Called on an operation thread; returns once the alert is on screen (not when it is
    // dismissed), so the operation can go on and deliver its result.
    virtual void showAlert(const Alert& alert) = 0;
};

}  // namespace pelloran
