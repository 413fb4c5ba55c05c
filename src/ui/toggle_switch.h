#pragma once
// An on/off switch: a rounded track with a round knob that slides across, accent-coloured
// when on. 51 by 31 points. Click or Space toggles it.

#include <QAbstractButton>
#include <QVariantAnimation>

namespace pelloran {

class ToggleSwitch : public QAbstractButton {
    Q_OBJECT
public:
    static constexpr int kWidthPoints = 51;
    static constexpr int kHeightPoints = 31;

    explicit ToggleSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void checkStateSet() override;
    void nextCheckState() override;

private:
    QVariantAnimation knob_;
    qreal position_ = 0;  // 0 off .. 1 on
};

}  // namespace pelloran
