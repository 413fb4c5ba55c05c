#pragma once
// The "Favorites Display Settings" screen: how many of the newest listing pages the favorites
// list scans. The member sets it with a slider; the whole number shows beside it and is stored
// once for each finished movement of the slider (a drag stores when it ends, a click or a key
// stores its one step). UI thread only.

#include "ui/view_controller.h"

class QLabel;
class QSlider;

namespace pelloran {

class SettingsStore;

class FavoriteDisplaySettingsViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr int kMinimumPages = 1;
    static constexpr int kMaximumPages = 50;

    // `store` must outlive the screen.
    explicit FavoriteDisplaySettingsViewController(SettingsStore& store, QWidget* parent = nullptr);

    // Shows the stored count each time: another program may have changed it.
    void viewWillAppear() override;
    void cancel();

    QSlider* favoritesCountSlider() const { return slider_; }
    QLabel* favoritesCountValue() const { return value_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showStored();
    void movedFavoritesSlider(int value);
    void changedFavoritesSlider();

    SettingsStore& store_;
    QWidget* content_;
    QSlider* slider_;
    QLabel* value_;
    QLabel* caption_;
    QLabel* help_;
};

}  // namespace pelloran
