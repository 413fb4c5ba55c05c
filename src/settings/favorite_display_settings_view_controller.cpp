#include "settings/favorite_display_settings_view_controller.h"

#include "settings/favorites_count_text.h"
#include "settings/settings_layout.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "ui/bar_image_button.h"
#include "ui/colors.h"
#include "ui/navigation_stack.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QSlider>
#include <QToolButton>

namespace pelloran {

namespace {
const QString kDefaultCount = QStringLiteral("5");
constexpr qreal kLeft = 20;
}  // namespace

FavoriteDisplaySettingsViewController::FavoriteDisplaySettingsViewController(SettingsStore& store,
                                                                             QWidget* parent)
    : ViewController(parent),
      store_(store),
      content_(new QWidget(this)),
      slider_(new QSlider(Qt::Horizontal, content_)),
      value_(settings_layout::addLabel(content_, QString(), 250, 50, 50, 30)),
      caption_(settings_layout::addLabel(content_, QStringLiteral("Pages to scan:"), kLeft, 16, 280,
                                         29)),
      help_(settings_layout::addLabel(
          content_,
          QStringLiteral("Favorites look for your filters' keywords in this many of the newest "
                         "listing pages, all categories, each time the list is refreshed or "
                         "you load more."),
          kLeft, 96, 280, 60)) {
    setTitle(QStringLiteral("Favorites Display Settings"));
    QToolButton* back = makeBarImageButton(QStringLiteral("back.png"), QStringLiteral("Back"));
    connect(back, &QToolButton::clicked, this, &FavoriteDisplaySettingsViewController::cancel);
    setLeftBarWidget(back);

    content_->setAutoFillBackground(true);
    QPalette pal = content_->palette();
    pal.setColor(QPalette::Window, colors::listBackground());
    content_->setPalette(pal);
    value_->setObjectName(QStringLiteral("favoritesCountValue"));
    value_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value_->setProperty("bold", true);
    value_->setProperty("fontPoints", 20);
    help_->setWordWrap(true);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setProperty("fontPoints", 12);
    help_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(colors::grey(0.7).name()));

    slider_->setObjectName(QStringLiteral("favoritesCountSlider"));
    slider_->setRange(kMinimumPages, kMaximumPages);
    slider_->setSingleStep(1);
    slider_->setPageStep(5);
    slider_->setProperty("pointRect", QRectF(kLeft, 50, 222, 30));
    slider_->setCursor(Qt::PointingHandCursor);
    slider_->setStyleSheet(QStringLiteral(
        "QSlider::groove:horizontal { height: 4px; background: #595959; border-radius: 2px; }"
        "QSlider::sub-page:horizontal { background: #e8a33d; border-radius: 2px; }"
        "QSlider::handle:horizontal { background: white; width: 22px; height: 22px; "
        "margin: -9px 0; border-radius: 11px; }"));

    showStored();
    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        movedFavoritesSlider(v);
        if (!slider_->isSliderDown()) {
            changedFavoritesSlider();  // a click or a key: the movement is already complete
        }
    });
    connect(slider_, &QSlider::sliderReleased, this,
            &FavoriteDisplaySettingsViewController::changedFavoritesSlider);
}

void FavoriteDisplaySettingsViewController::showStored() {
    store_.refresh();  // another program may have changed it since
    const QString stored = store_.string(keys::favoritesCount).value_or(kDefaultCount);
    value_->setText(stored);  // shown unchanged
    const QSignalBlocker quiet(slider_);
    slider_->setValue(int(favoritesSliderValue(stored)));
}

void FavoriteDisplaySettingsViewController::movedFavoritesSlider(int value) {
    value_->setText(favoritesCountText(value));
}

void FavoriteDisplaySettingsViewController::changedFavoritesSlider() {
    // What is stored is what the member saw.
    store_.setValue(keys::favoritesCount, value_->text());
    store_.flush();
}

void FavoriteDisplaySettingsViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(false);
    }
    showStored();
}

void FavoriteDisplaySettingsViewController::cancel() {
    if (NavigationStack* stack = navigationStack(); stack && stack->topViewController() == this) {
        stack->popViewController(false);
    }
}

void FavoriteDisplaySettingsViewController::resizeEvent(QResizeEvent*) {
    content_->setGeometry(rect());
    content_->setProperty("contentHeightPoints", UiScale::of(this).points(height()));
    settings_layout::placeByPoints(content_, UiScale::of(this), width());
}

}  // namespace pelloran
