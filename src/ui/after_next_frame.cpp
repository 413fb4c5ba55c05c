#include "ui/after_next_frame.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace pelloran {

namespace {
// When no frame comes, the work runs after this long anyway.
constexpr int kUnpaintedMs = 100;
}  // namespace

void AfterNextFrame::run(QWidget* widget, std::function<void()> job) {
    run(widget, widget, std::move(job));
}

void AfterNextFrame::run(QWidget* painted, QObject* owner, std::function<void()> job) {
    new AfterNextFrame(painted, owner, std::move(job));  // owned by `owner`; deletes itself
}

AfterNextFrame::AfterNextFrame(QWidget* painted, QObject* owner, std::function<void()> job)
    : QObject(owner), job_(std::move(job)) {
    painted->installEventFilter(this);
    QTimer::singleShot(kUnpaintedMs, this, [this] { soon(); });
}

bool AfterNextFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint) {
        // The paint is under way: the work goes after it, and after the frame is sent.
        soon();
    }
    return QObject::eventFilter(watched, event);
}

void AfterNextFrame::soon() {
    if (!scheduled_) {
        scheduled_ = true;
        QTimer::singleShot(0, this, [this] { fire(); });
    }
}

void AfterNextFrame::fire() {
    const std::function<void()> job = std::exchange(job_, nullptr);
    deleteLater();
    if (job) {
        job();
    }
}

}  // namespace pelloran
