// pelloran-empty-window: the baseline of the app's start, linked with Qt Widgets alone and
// nothing of ours. Shows an empty QWidget window of the app's size at the probe's scale,
// prints "shown" when it is first painted, then quits. Options are ignored.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            QTimer::singleShot(0, [] {
                std::printf("shown\n");
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool done_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(480, 852);
    FirstPaint painted;
    window.installEventFilter(&painted);
    window.show();
    return app.exec();
}
