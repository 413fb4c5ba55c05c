#pragma once
// The bottom tab bar: one item per slot (an image over a title), the selected one tinted white
// on the black bar. 49 points high. Items can be disabled (while a page loads).

#include <QList>
#include <QString>
#include <QWidget>

namespace pelloran {

class TabBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeightPoints = 49;

    struct Item {
        QString title;
        QString imageName;  // a template image: drawn in the tint colour
        bool enabled = true;
    };

    explicit TabBar(QWidget* parent = nullptr);

    void setItems(const QList<Item>& items);
    int count() const { return int(items_.size()); }
    Item item(int slot) const { return items_.value(slot); }
    void setCurrentSlot(int slot);
    int currentSlot() const { return current_; }
    void setAllEnabled(bool enabled);
    bool isSlotEnabled(int slot) const { return items_.value(slot).enabled; }
    // Where slot `slot` is drawn, for clicks in tests and screenshots.
    QRect slotRect(int slot) const;

Q_SIGNALS:
    void slotClicked(int slot);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int slotAt(const QPoint& pos) const;

    QList<Item> items_;
    int current_ = 0;
};

}  // namespace pelloran
