#pragma once
// Stands in for a web screen while the web plugin loads, which happens when the first web
// screen of a run opens and holds the UI thread for a moment (the web engine starts). The
// navigation bar with its back button and the loading overlay are drawn at once; after that
// frame, on a later turn of the event loop, the real screen is made and takes this one's place
// on the navigation stack. Leaving first (back) makes nothing. UI thread only.

#include "ui/view_controller.h"

#include <functional>

namespace pelloran {

class PendingWebScreen : public ViewController {
    Q_OBJECT
public:
    // `make` returns the real screen (owned by the caller), or null when there is none (no
    // plugin): the stand-in then leaves the stack by itself.
    explicit PendingWebScreen(std::function<ViewController*()> make, QWidget* parent = nullptr);

    void viewWillAppear() override;
    void viewWillDisappear() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void makeScreen();

    std::function<ViewController*()> make_;
};

}  // namespace pelloran
