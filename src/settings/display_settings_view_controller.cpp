#include "settings/display_settings_view_controller.h"

#include "settings/display_settings_state.h"
#include "settings/settings_layout.h"
#include "site/category_table.h"
#include "ui/bar_image_button.h"
#include "ui/navigation_stack.h"
#include "ui/segmented_control.h"
#include "ui/toggle_switch.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QScrollArea>
#include <QToolButton>

namespace pelloran {

namespace {
// Positions in points inside the scrolling area.
constexpr qreal kLeft = 20;
constexpr qreal kOrderLabelY = 16;
constexpr qreal kOrderY = 44;
constexpr qreal kSortLabelY = 84;
constexpr qreal kSortY = 112;
constexpr qreal kSearchLabelY = 156;
constexpr qreal kRowsY = 156;
constexpr qreal kSearchRowsY = 186;
constexpr qreal kRowPitch = 30;
constexpr qreal kLabelWidth = 200;
constexpr qreal kLabelHeight = 29;
constexpr qreal kSwitchX = 220;
constexpr qreal kSelectorWidth = 280;
constexpr qreal kBottomMargin = 20;
}  // namespace

DisplaySettingsViewController::DisplaySettingsViewController(DisplaySettingsState& state,
                                                             QWidget* parent)
    : ViewController(parent),
      state_(state),
      scroll_(new QScrollArea(this)),
      content_(new QWidget()) {
    const bool search = state.kind() == ListingKind::Search;
    setTitle(search ? QStringLiteral("Search Settings") : QStringLiteral("All Torrents Settings"));
    QToolButton* back = makeBarImageButton(QStringLiteral("back.png"), QStringLiteral("Back"));
    connect(back, &QToolButton::clicked, this, &DisplaySettingsViewController::cancel);
    setLeftBarWidget(back);
    settings_layout::styleScrollArea(scroll_, content_);
    build();
}

void DisplaySettingsViewController::build() {
    const UiScale s = UiScale::of(this);
    const bool search = state_.kind() == ListingKind::Search;
    settings_layout::addLabel(content_, QStringLiteral("Order by:"), kLeft, kOrderLabelY);
    QStringList orderTitles;
    for (const ListingOption& o : orderOptions()) {
        orderTitles.append(o.title);
    }
    order_ = new SegmentedControl(orderTitles, content_);
    order_->setObjectName(QStringLiteral("orderSelector"));
    order_->setSelectedIndex(state_.orderIndex().value_or(-1));
    order_->setProperty("pointRect", QRectF(kLeft, kOrderY, kSelectorWidth, 30));
    connect(order_, &SegmentedControl::segmentChosen, this,
            [this](int index) { state_.chooseOrder(index); });

    settings_layout::addLabel(content_, QStringLiteral("Sort:"), kLeft, kSortLabelY);
    QStringList sortTitles;
    for (const ListingOption& o : sortOptions()) {
        sortTitles.append(o.title);
    }
    sort_ = new SegmentedControl(sortTitles, content_);
    sort_->setObjectName(QStringLiteral("sortSelector"));
    sort_->setSelectedIndex(state_.sortIndex().value_or(-1));
    sort_->setProperty("pointRect", QRectF(kLeft, kSortY, kSelectorWidth, 30));
    connect(sort_, &SegmentedControl::segmentChosen, this,
            [this](int index) { state_.chooseSort(index); });

    qreal y = kRowsY;
    if (search) {
        settings_layout::addLabel(content_, QStringLiteral("Search the following categories:"),
                                  kLeft, kSearchLabelY, kSelectorWidth);
        y = kSearchRowsY;
    }
    for (const Category& c : categoryTable()) {
        QLabel* label = settings_layout::addLabel(
            content_, c.name, kLeft, y, c.isHeader() ? kSelectorWidth : kLabelWidth, kLabelHeight);
        if (c.isHeader()) {
            settings_layout::styleSectionHeader(label);
        } else {
            auto* toggle = new ToggleSwitch(content_);
            toggle->setProperty("categoryId", c.id);
            toggle->setAccessibleName(c.name);
            toggle->setChecked(state_.isOn(c.id));
            toggle->setProperty("pointRect", QRectF(kSwitchX, y - 1, ToggleSwitch::kWidthPoints,
                                                    ToggleSwitch::kHeightPoints));
            const int id = c.id;
            connect(toggle, &ToggleSwitch::toggled, this,
                    [this, id](bool on) { state_.setCategory(id, on); });
            switches_.append(toggle);
        }
        y += kRowPitch;
    }
    content_->setProperty("contentHeightPoints", y + kBottomMargin);
    settings_layout::placeByPoints(content_, s, width());
}

ToggleSwitch* DisplaySettingsViewController::categorySwitch(int id) const {
    for (ToggleSwitch* t : switches_) {
        if (t->property("categoryId").toInt() == id) {
            return t;
        }
    }
    return nullptr;
}

void DisplaySettingsViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(false);
    }
    state_.reload();
    showState();
}

void DisplaySettingsViewController::showState() {
    // Showing what is stored is no choice of the member's: nothing is written back.
    order_->setSelectedIndex(state_.orderIndex().value_or(-1));
    sort_->setSelectedIndex(state_.sortIndex().value_or(-1));
    for (ToggleSwitch* t : switches_) {
        const QSignalBlocker quiet(t);
        t->setChecked(state_.isOn(t->property("categoryId").toInt()));
    }
}

void DisplaySettingsViewController::cancel() {
    if (NavigationStack* stack = navigationStack(); stack && stack->topViewController() == this) {
        stack->popViewController(false);
    }
}

void DisplaySettingsViewController::resizeEvent(QResizeEvent*) {
    scroll_->setGeometry(rect());
    settings_layout::placeByPoints(content_, UiScale::of(this), width());
}

}  // namespace pelloran
