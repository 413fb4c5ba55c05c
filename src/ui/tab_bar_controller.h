#pragma once
// The main interface: the bottom tab bar with the first four tabs and "More", which lists the
// others. Each tab's screen sits in its own navigation stack (or alone, when the tab has none);
// a tab chosen from the "More" list is shown inside the "More" area with a back button to the
// list. UI thread only.
//
// Index semantics: tabs are numbered in the order added; selectedIndex() is the tab on screen,
// or kMoreListIndex while the "More" list itself shows.
//
// A tab can be added before its screen exists: its item shows at once, and the screen is built
// the first time the tab is shown or its screen or stack is asked for, so that signing in does
// not build every tab's screens in one turn of the event loop.

#include "ui/view_controller.h"

#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QStackedWidget;

namespace pelloran {

class MoreListViewController;
class NavigationStack;
class TabBar;

class TabBarController : public QWidget {
    Q_OBJECT
public:
    // Builds the selected tab's screen now rather than when it is first shown, so that the
    // owner can spread a sign-in's work over event-loop turns.
    void buildSelected() const { currentContainer(); }
    static constexpr int kVisibleTabs = 4;  // tabs the bar shows before "More"
    static constexpr int kMoreListIndex = -1;

    explicit TabBarController(QWidget* parent = nullptr);

    // Adds a tab: its screen, wrapped in a navigation stack of its own when `ownStack`.
    // The screen's tab title and image name make its item.
    void addTab(ViewController* screen, bool ownStack);
    // Adds a tab whose screen `make` builds when the tab is first needed; `title` and
    // `imageName` make its item until then (the screen's own item replaces them).
    using ScreenMaker = std::function<ViewController*()>;
    void addTab(const QString& title, const QString& imageName, bool ownStack, ScreenMaker make);
    int count() const { return int(tabs_.size()); }
    // Both build the tab's screen when it has not been built yet.
    ViewController* screen(int index) const;
    NavigationStack* navigationStack(int index) const;  // null for a tab without one
    bool isBuilt(int index) const;
    NavigationStack* moreNavigationStack() const { return moreStack_; }
    MoreListViewController* moreList() const { return moreList_; }
    TabBar* tabBar() const { return bar_; }

    int selectedIndex() const;
    // Selects a tab from code (the member did not tap): nothing is reported.
    void setSelectedIndex(int index);

    // Back to the "More" list, its navigation bar visible.
    void popMoreToRoot();

    // Every item, "More" and its rows included.
    void setItemsEnabled(bool enabled);
    bool itemsEnabled() const { return itemsEnabled_; }

    // The tab bar is about to be shown or removed: the selected screen hears of it.
    void notifyWillAppear();
    void notifyWillDisappear();

Q_SIGNALS:
    // The member tapped a bar item: a tab's index, or kMoreListIndex for "More".
    void didSelect(int index);
    // The member chose a tab in the "More" list.
    void didSelectFromMore(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Tab {
        QPointer<ViewController> screen;
        QPointer<NavigationStack> ownStack;
        QPointer<QWidget> container;  // what is shown: the own stack, or a wrapper stack in More
        ScreenMaker make;             // set until the screen is built
        bool wantsOwnStack = false;
        QString title, imageName;  // the item until the screen is built
    };

    // Builds the tab's screen when it has not been built yet (a tab is built on first use,
    // from const accessors too).
    void ensureBuilt(int index) const;
    void install(int index, ViewController* screen) const;
    void buildBarItems();
    void slotClicked(int slot);
    void showSlot(int slot);
    void showInMore(int index);
    QWidget* currentContainer() const;
    void notifyContainer(QWidget* container, bool appear);
    void relayout();

    mutable QList<Tab> tabs_;
    TabBar* bar_;
    QStackedWidget* pages_;
    QStackedWidget* moreArea_;
    MoreListViewController* moreList_;
    NavigationStack* moreStack_;
    int slot_ = 0;
    int moreShown_ = kMoreListIndex;  // the tab shown in the More area
    bool itemsEnabled_ = true;
};

}  // namespace pelloran
