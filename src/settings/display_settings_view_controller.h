#pragma once
// The "All Torrents Settings" and "Search Settings" screens: the listing order, the sort
// direction, and one switch per category of the site's category table (section headers shown
// without a switch). Drawn from the list's DisplaySettingsState, which keeps the choices for
// the whole run and stores each at once. UI thread only.

#include "ui/view_controller.h"

#include <QList>

class QScrollArea;

namespace pelloran {

class DisplaySettingsState;
class SegmentedControl;
class ToggleSwitch;

class DisplaySettingsViewController : public ViewController {
    Q_OBJECT
public:
    // `state` must outlive the screen.
    explicit DisplaySettingsViewController(DisplaySettingsState& state, QWidget* parent = nullptr);

    // Shows the stored choices, which another program may have changed since the last visit.
    void viewWillAppear() override;
    void cancel();

    SegmentedControl* orderSelector() const { return order_; }
    SegmentedControl* sortSelector() const { return sort_; }
    // The switch of that category id; null for a header or an unknown id.
    ToggleSwitch* categorySwitch(int id) const;
    QScrollArea* scrollArea() const { return scroll_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void build();
    void showState();

    DisplaySettingsState& state_;
    QScrollArea* scroll_;
    QWidget* content_;
    SegmentedControl* order_ = nullptr;
    SegmentedControl* sort_ = nullptr;
    QList<ToggleSwitch*> switches_;
};

}  // namespace pelloran
