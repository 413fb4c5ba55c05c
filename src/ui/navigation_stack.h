#pragma once
// A navigation stack: screens pushed on top of a root screen, the top one shown under a black
// navigation bar whose back button pops it. Pushed screens belong to the stack; a popped
// screen is discarded (details and profiles are made per visit), the root never is.
// UI thread only.

#include "ui/view_controller.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QStackedWidget;

namespace pelloran {

class NavigationBar;

class NavigationStack : public QWidget {
    Q_OBJECT
public:
    explicit NavigationStack(ViewController* root, QWidget* parent = nullptr);

    ViewController* rootViewController() const;
    ViewController* topViewController() const;
    QList<ViewController*> viewControllers() const;
    int depth() const { return int(screens_.size()); }

    // `animated` is accepted for callers written against the platform; changes are immediate.
    void pushViewController(ViewController* screen, bool animated = true);
    void popViewController(bool animated = true);
    // Puts `screen` in the top screen's place (the root is never replaced); the screen below is
    // not uncovered on the way.
    void replaceTopViewController(ViewController* screen);
    void popToRootViewController(bool animated = true);

    void setNavigationBarHidden(bool hidden);
    bool isNavigationBarHidden() const { return barHidden_; }
    NavigationBar* navigationBar() const { return bar_; }

    // A back button on the root screen (the "More" list's, for a tab shown from it).
    void setRootBackButton(const QString& title, std::function<void()> action);

    // The stack's container tells it when it is about to be shown or covered; the stack passes
    // it on to its top screen.
    void notifyWillAppear();
    void notifyWillDisappear();

Q_SIGNALS:
    void topChanged(ViewController* top);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Puts `screen` on top and shows it.
    void enter(ViewController* screen);
    void discard(const QPointer<ViewController>& screen);
    void show(ViewController* screen);
    void refreshBar();
    void relayout();
    void backClicked();

    NavigationBar* bar_;
    QStackedWidget* pages_;
    QList<QPointer<ViewController>> screens_;
    bool barHidden_ = false;
    QString rootBackTitle_;
    std::function<void()> rootBackAction_;
};

}  // namespace pelloran
