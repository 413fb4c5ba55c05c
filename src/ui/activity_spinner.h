#pragma once
// A small white activity indicator: twelve spokes, the bright one going round while it runs.

#include <QTimer>
#include <QWidget>

namespace pelloran {

class ActivitySpinner : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSizePoints = 20;

    explicit ActivitySpinner(QWidget* parent = nullptr);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_.isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer timer_;
    int step_ = 0;
};

}  // namespace pelloran
