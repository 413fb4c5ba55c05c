#pragma once
// The modal screen that takes one new favorite keyword: it covers the window (a child widget,
// no nested event loop) until it is dismissed. Save hands the text to the delegate as typed;
// a keyword that can't be read as a pattern is refused with a line saying so. Cancel (or
// Escape) hands nothing. Return ends the editing. Under the keyword, folded away until opened,
// where what it accepts goes (the chosen client's push fields); left folded or empty, the
// client's defaults. UI thread only.

#include "remote/push_options.h"
#include "ui/view_controller.h"

#include <QPointer>

class QLabel;
class QLineEdit;
class QToolButton;

namespace pelloran {

class EditFavoriteListViewController;
class NavigationBar;
class PushOptionsForm;

class FavoriteComposeViewController : public ViewController {
    Q_OBJECT
public:
    explicit FavoriteComposeViewController(QWidget* host);

    void setDelegate(EditFavoriteListViewController* delegate) { delegate_ = delegate; }
    // Covers the host and takes the keyboard.
    void present();
    // Goes away (and is deleted).
    void dismiss();

    // The save and cancel actions.
    void updateList();
    void cancel();

    // The fields the chosen client has; none hides the fold.
    void setPushSupport(const PushOptionSupport& support);
    // Opens or folds the route fields.
    void setRouteOpen(bool open);
    bool isRouteOpen() const { return routeOpen_; }
    // The route as filled: folded, nothing; an empty field or the switch off, the default.
    PushOptions route() const;

    QLineEdit* newItem() const { return newItem_; }
    PushOptionsForm* routeForm() const { return route_; }
    QToolButton* routeToggle() const { return routeToggle_; }
    QLabel* errorLabel() const { return error_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<EditFavoriteListViewController> delegate_;
    NavigationBar* bar_;
    QToolButton* cancel_;
    QToolButton* save_;
    QLabel* caption_;
    QLineEdit* newItem_;
    QLabel* error_;
    QLabel* help_;
    QToolButton* routeToggle_;
    PushOptionsForm* route_;
    bool routeOpen_ = false;
    bool wasEditing_ = false;
    QString tempString_;
};

}  // namespace pelloran
