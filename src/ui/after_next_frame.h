#pragma once
// Slow work announced on screen first: the work (loading the web plugin, which starts the web
// engine and holds the UI thread for a moment) runs on a turn of the event loop after `widget`
// has painted, so the frame that shows the bar and the loading overlay is out before it. When
// no paint comes (a minimized window), it runs after a short while anyway. UI thread only.

#include <QObject>
#include <functional>

class QWidget;

namespace pelloran {

class AfterNextFrame : public QObject {
    Q_OBJECT
public:
    // Runs `job` once, as above; nothing runs when `widget` is destroyed first.
    static void run(QWidget* widget, std::function<void()> job);
    // The same, watching `painted` (an overlay of another widget's) for the frame, while the
    // job belongs to `owner`: nothing runs when `owner` is destroyed first, and when `painted` is
    // gone before it painted, the job runs after the short while.
    static void run(QWidget* painted, QObject* owner, std::function<void()> job);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    AfterNextFrame(QWidget* painted, QObject* owner, std::function<void()> job);
    void soon();
    void fire();

    std::function<void()> job_;
    bool scheduled_ = false;
};

}  // namespace pelloran
