#include "lists/edit_favorite_list_view_controller.h"

#include "lists/favorite_compose_view_controller.h"
#include "remote/bit_client_registry.h"
#include "remote/filter_routes.h"
#include "remote/server_info.h"
#include "site/filter.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "ui/bar_image_button.h"
#include "ui/colors.h"
#include "ui/navigation_stack.h"
#include "ui/overlay_scroll_bar.h"
#include "ui/row_deletion.h"
#include "ui/text_row_delegate.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QListView>
#include <QStringListModel>
#include <QToolButton>

namespace pelloran {

// Shows an empty keyword for what it does, and where what a keyword accepts goes when it has a
// route of its own: "x264  → category Films; paused".
class FilterRowsModel : public QStringListModel {
public:
    using QStringListModel::QStringListModel;
    // One description per row, "" for a keyword without a route.
    void setRoutes(const QStringList& routes) {
        routes_ = routes;
        if (rowCount() > 0) {
            Q_EMIT dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
        }
    }
    QVariant data(const QModelIndex& index, int role) const override {
        QVariant v = QStringListModel::data(index, role);
        if (role != Qt::DisplayRole) {
            return v;
        }
        QString text =
            v.toString().isEmpty() ? QStringLiteral("(empty: every torrent)") : v.toString();
        if (const QString route = routes_.value(index.row()); !route.isEmpty()) {
            text += QStringLiteral("  → ") + route;
        }
        return text;
    }

private:
    QStringList routes_;
};

EditFavoriteListViewController::EditFavoriteListViewController(const ScreenContext& context,
                                                               QWidget* parent)
    : ViewController(parent),
      context_(context),
      model_(new FilterRowsModel(this)),
      table_(new QListView(this)),
      hint_(new QLabel(this)) {
    setTitle(QStringLiteral("Favorite filters"));
    QToolButton* add = makeBarImageButton(QStringLiteral("add.png"), QStringLiteral("New filter"));
    connect(add, &QToolButton::clicked, this, &EditFavoriteListViewController::addFavorite);
    setRightBarWidget(add);
    QToolButton* back = makeBarImageButton(QStringLiteral("back.png"), QStringLiteral("Back"));
    connect(back, &QToolButton::clicked, this, &EditFavoriteListViewController::cancel);
    setLeftBarWidget(back);

    table_->setModel(model_);
    table_->setItemDelegate(new TextRowDelegate(table_));
    table_->setFrameShape(QFrame::NoFrame);
    table_->setUniformItemSizes(true);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    table_->setStyleSheet(
        QStringLiteral("QListView { background: %1; }").arg(colors::listBackground().name()));
    attachOverlayScrollBar(table_);
    new RowDeletion(table_, [this](int row) { deleteRow(row); });

    hint_->setWordWrap(true);
    hint_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    hint_->setText(QStringLiteral(
        "A torrent shows in Favorites when its name contains one of "
        "these keywords. To remove one, swipe it to the left, or select it and press "
        "Delete."));
    hint_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(colors::grey(0.6).name()));
    hint_->setAttribute(Qt::WA_TransparentForMouseEvents);
    reloadFilters();
}

void EditFavoriteListViewController::reloadFilters() {
    SettingsStore& settings = *context_.site.settings;
    settings.refresh();
    filters_.clear();
    // In the chosen client's words: Deluge's category is a label.
    const PushOptionSupport words =
        context_.remote.server
            ? pushOptionSupport(context_.remote.server->reloaded().client.value_or(QString()))
            : PushOptionSupport{};
    const QList<FilterRoute> routes = loadFilterRoutes(settings);
    QStringList described;
    for (const Filter& f : loadFilters(settings)) {
        filters_.append(f.regex());
        described.append(describePushOptions(routeOf(routes, f.regex()), words));
    }
    model_->setStringList(filters_);
    model_->setRoutes(described);
    relayout();
}

void EditFavoriteListViewController::viewWillAppear() {
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(false);
    }
    reloadFilters();  // another program may have changed them
    if (filters_.isEmpty() && !compose_) {
        addFavorite();
    }
}

void EditFavoriteListViewController::addFavorite() {
    if (compose_) {
        compose_->raise();
        return;
    }
    QWidget* host = context_.window ? context_.window : window();
    compose_ = new FavoriteComposeViewController(host);
    compose_->setDelegate(this);
    // The route fields the chosen client has.
    if (context_.remote.server) {
        compose_->setPushSupport(
            pushOptionSupport(context_.remote.server->reloaded().client.value_or(QString())));
    }
    compose_->present();
}

void EditFavoriteListViewController::didUpdateList(const QString& item, const PushOptions& route) {
    // Stored as typed, an empty keyword included.
    addRoutedFilter(*context_.site.settings, item, route);
    reloadFilters();
    if (compose_) {
        compose_->dismiss();
    }
}

void EditFavoriteListViewController::didCancelUpdateList() {
    if (compose_) {
        compose_->dismiss();
    }
}

void EditFavoriteListViewController::deleteRow(int row) {
    if (row < 0 || row >= filters_.size()) {
        return;
    }
    // The keyword the member saw goes, even if another program changed the list meanwhile;
    // the list then shows what is stored. Its route goes with it.
    removeRoutedFilter(*context_.site.settings, row, filters_[row]);
    reloadFilters();
}

void EditFavoriteListViewController::cancel() {
    if (NavigationStack* stack = navigationStack(); stack && stack->topViewController() == this) {
        stack->popViewController(false);
    }
}

void EditFavoriteListViewController::resizeEvent(QResizeEvent*) {
    relayout();
}

void EditFavoriteListViewController::relayout() {
    const UiScale s = UiScale::of(this);
    const int rows = int(filters_.size());
    const int listHeight = std::min(height(), rows * s.px(TextRowDelegate::kRowHeightPoints));
    table_->setGeometry(rect());
    hint_->setFont(s.font(FontFace::Arial, 12));
    hint_->setGeometry(s.px(12), listHeight + s.px(14), width() - s.px(24), s.px(60));
    hint_->raise();
}

}  // namespace pelloran
