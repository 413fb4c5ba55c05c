#pragma once
// A segmented selector: a row of captions of which one (or none) is chosen, in the dark bar
// style. Long lists wrap into rows of at most maxPerRow() segments. Click, or the arrow keys
// with the focus on it, choose; `segmentChosen` reports the member's changes only.

#include <QStringList>
#include <QWidget>

namespace pelloran {

class SegmentedControl : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kRowHeightPoints = 30;

    explicit SegmentedControl(const QStringList& titles, QWidget* parent = nullptr);

    QStringList titles() const { return titles_; }
    int count() const { return int(titles_.size()); }
    int selectedIndex() const { return selected_; }  // -1: none
    void setSelectedIndex(int index);                // from code: nothing is reported
    void setMaxPerRow(int n);
    int maxPerRow() const { return maxPerRow_; }
    int rowCount() const;
    // The segment's rectangle in this widget's pixels.
    QRect segmentRect(int index) const;

    QSize sizeHint() const override;

Q_SIGNALS:
    void segmentChosen(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void choose(int index);

    QStringList titles_;
    int selected_ = -1;
    int maxPerRow_ = 0;  // 0: all in one row
};

}  // namespace pelloran
