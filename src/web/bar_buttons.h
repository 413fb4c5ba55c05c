#pragma once
// The web screens' navigation bar items: image buttons 50 by 47 points whose image is drawn 10
// points above the item's area (the bar is lower than the images), placed at fixed points in
// an area of the bar. UI thread only.

#include <QAbstractButton>
#include <QList>
#include <QSizeF>

namespace pelloran::web {

class ToolbarButton : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr qreal kWidth = 50;
    static constexpr qreal kHeight = 47;
    static constexpr qreal kRaise = 10;  // the image starts this far above the area's top

    ToolbarButton(const QString& imageName, QWidget* parent);
    QString imageName() const { return image_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString image_;
};

// A bar item of `size` points holding buttons at the x positions given; only the buttons take
// clicks, so neighbouring items may overlap it.
class BarArea : public QWidget {
    Q_OBJECT
public:
    BarArea(QSizeF size, QWidget* parent = nullptr);
    // Adds (or, when `button` is already here, moves) a button at `x` points.
    void place(ToolbarButton* button, qreal x);
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    QSizeF size_;
    QList<QPair<ToolbarButton*, qreal>> buttons_;
};

}  // namespace pelloran::web
