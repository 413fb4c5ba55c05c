#pragma once
// The "Favorite filters" screen: the saved keywords in the order added, each with its route when
// it has one. "+" opens the compose
// screen for a new one; a swipe to the left, Delete or the context menu removes one, from the
// store at once.
// When there is no filter yet, the compose screen opens as the screen appears. UI thread only.

#include "lists/favorite_compose_view_controller.h"
#include "remote/push_options.h"
#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QPointer>
#include <QStringList>

class QLabel;
class QListView;
namespace pelloran {

class FilterRowsModel;

class EditFavoriteListViewController : public ViewController {
    Q_OBJECT
public:
    explicit EditFavoriteListViewController(const ScreenContext& context,
                                            QWidget* parent = nullptr);

    void viewWillAppear() override;
    void reloadFilters();
    void addFavorite();
    void cancel();
    // Removes the keyword of row `row` (stored order) from the store and the list.
    void deleteRow(int row);

    // The compose screen's answers.
    // `route`: where what the keyword accepts goes (empty: the client's defaults).
    void didUpdateList(const QString& item, const PushOptions& route = {});
    void didCancelUpdateList();

    QStringList filters() const { return filters_; }
    QListView* tableView() const { return table_; }
    FavoriteComposeViewController* composeScreen() const { return compose_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void relayout();

    ScreenContext context_;
    QStringList filters_;
    FilterRowsModel* model_;
    QListView* table_;
    QLabel* hint_;
    QPointer<FavoriteComposeViewController> compose_;
};

}  // namespace pelloran
