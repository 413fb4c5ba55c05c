#pragma once
// The search list's text entry: a dark bar with one field, a magnifier, no correction and no
// automatic capitals. Return (the keyboard's search button) submits the text. 45 points high.

#include <QWidget>

class QLineEdit;

namespace pelloran {

class SearchBar : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kHeightPoints = 45;

    explicit SearchBar(QWidget* parent = nullptr);
    QLineEdit* field() const { return field_; }
    QString text() const;
    // Gives up the keyboard.
    void resignFirstResponder();

Q_SIGNALS:
    void searchButtonClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* field_;
};

}  // namespace pelloran
