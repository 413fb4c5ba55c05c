#pragma once
// The header above every torrent list: the member's name (a button opening the member's
// profile), ratio and transfer totals, and the screen's buttons (refresh, and settings, search
// or filters as the screen chooses). It is 70 points high; its lower part lies over the top of
// the list, and it takes touches only in its top 45 points: below that, clicks and the wheel
// reach the list. UI thread only.

#include <QString>
#include <QWidget>

class QLabel;
class QToolButton;
class QPushButton;

namespace pelloran {

class HeaderView : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kHeightPoints = 70;
    static constexpr qreal kTouchHeightPoints = 45;
    static constexpr qreal kBarHeightPoints = 34;  // the list starts here, under the header

    explicit HeaderView(QWidget* parent = nullptr);

    // The member bar: name button title, ratio, downloaded and uploaded totals.
    void setMemberBar(const QString& username, const QString& ratio, const QString& downloaded,
                      const QString& uploaded);

    // The ratio guard is in force: the ratio shows in the warning colour.
    void setRatioWarning(bool warning);
    bool ratioWarning() const { return ratioWarning_; }

    QPushButton* usernameButton() const { return username_; }
    QLabel* ratioLabel() const { return ratio_; }
    QLabel* upLabel() const { return up_; }
    QLabel* downLabel() const { return down_; }
    QToolButton* refreshButton() const { return refresh_; }
    QToolButton* searchButton() const { return search_; }
    QToolButton* settingsButton() const { return settings_; }
    QToolButton* filtersButton() const { return filters_; }

    // Which of the optional buttons show (none do at first; refresh always does).
    void setButtonsShown(bool settings, bool search, bool filters);

Q_SIGNALS:
    void viewProfile();
    void refresh();
    void filters();
    void settings();
    void search();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QToolButton* makeButton(const QString& imageName, const QString& tip);
    void relayout();

    QPushButton* username_;
    QLabel* ratioCaption_;
    QLabel* ratio_;
    QLabel* upIcon_;
    QLabel* up_;
    QLabel* downIcon_;
    QLabel* down_;
    QToolButton* refresh_;
    QToolButton* search_;
    QToolButton* settings_;
    QToolButton* filters_;
    bool ratioWarning_ = false;
    qreal styledFor_ = 0;  // the pixels per point the icons and styles were made for
};

}  // namespace pelloran
