#pragma once
// The black navigation bar: a centred title, a back button on the left (or the screen's own
// left button), and the screen's right button. 44 points high.

#include <QPointer>
#include <QWidget>

class QLabel;
class QToolButton;

namespace pelloran {

class NavigationBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeightPoints = 44;

    explicit NavigationBar(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    QString title() const;
    // Empty text hides the back button.
    void setBackTitle(const QString& text);
    QString backTitle() const;
    QToolButton* backButton() const { return back_; }
    // The screen's own buttons; they replace the back button on the left when set.
    void setItems(QWidget* left, QWidget* right);

Q_SIGNALS:
    void backClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    QLabel* title_;
    QToolButton* back_;
    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
};

}  // namespace pelloran
