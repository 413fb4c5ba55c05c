#pragma once
// The application's one window: the 320-point phone layout at the desktop scale, as tall as
// the screen allows up to the tall phone; it can be resized, never below that width. Title
// "Pelloran". It carries its UiScale for the widgets inside.

#include "ui/ui_scale.h"

#include <QWidget>

namespace pelloran {

class PelloranWindow : public QWidget {
    Q_OBJECT
public:
    // `heightPoints` 0: fit the screen.
    explicit PelloranWindow(const UiScale& scale, int heightPoints = 0);

    UiScale scale() const { return scale_; }
    // Puts `content` in the window, filling it.
    void setContent(QWidget* content);

    // The scale for the primary screen (about 1.5 on 1080p), unless `forced` is above 0.
    static UiScale scaleForScreen(qreal forced = 0);

Q_SIGNALS:
    // The member closed the window: the run is ending.
    void closing();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Keys no widget took: a back key goes to the shown navigation stack; Enter on a focused
    // button presses it.
    void keyPressEvent(QKeyEvent* event) override;

private:
    UiScale scale_;
    QWidget* content_ = nullptr;
};

}  // namespace pelloran
