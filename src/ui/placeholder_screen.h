#pragma once
// A screen with nothing on it yet but its tab image and title: what a tab shows until its real
// screen exists.

#include "ui/view_controller.h"

namespace pelloran {

class PlaceholderScreen : public ViewController {
    Q_OBJECT
public:
    PlaceholderScreen(const QString& title, const QString& tabTitle, const QString& imageName,
                      QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace pelloran
