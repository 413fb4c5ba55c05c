#pragma once
// A rounded rectangle filled with one colour and stroked with another, on a clear background.
// The corner radius never exceeds half the view's width or height.

#include <QColor>
#include <QSizeF>
#include <QWidget>

namespace pelloran {

class RoundedRectView : public QWidget {
    Q_OBJECT
public:
    explicit RoundedRectView(QWidget* parent = nullptr);

    QColor strokeColor() const { return strokeColor_; }
    QColor rectColor() const { return rectColor_; }
    qreal strokeWidth() const { return strokeWidth_; }
    qreal cornerRadius() const { return cornerRadius_; }
    void setStrokeColor(const QColor& c);
    void setRectColor(const QColor& c);
    void setStrokeWidth(qreal w);
    void setCornerRadius(qreal r);

    // The radius actually drawn for a view of `size` (in the same unit as the radius).
    static qreal effectiveRadius(const QSizeF& size, qreal cornerRadius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor strokeColor_{Qt::white};
    QColor rectColor_{Qt::white};
    qreal strokeWidth_ = 1;
    qreal cornerRadius_ = 30;
};

}  // namespace pelloran
