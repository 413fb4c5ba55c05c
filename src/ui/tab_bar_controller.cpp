#include "ui/tab_bar_controller.h"

#include "ui/more_list_view_controller.h"
#include "ui/navigation_stack.h"
#include "ui/tab_bar.h"
#include "ui/ui_scale.h"

#include <QStackedWidget>
#include <utility>

namespace pelloran {

namespace {
const QString kMoreTitle = QStringLiteral("More");
const QString kMoreImage = QStringLiteral("tabbar-more.png");
}  // namespace

TabBarController::TabBarController(QWidget* parent)
    : QWidget(parent),
      bar_(new TabBar(this)),
      pages_(new QStackedWidget(this)),
      moreArea_(new QStackedWidget()),
      moreList_(new MoreListViewController()),
      moreStack_(new NavigationStack(moreList_)) {
    moreArea_->addWidget(moreStack_);
    connect(bar_, &TabBar::slotClicked, this, &TabBarController::slotClicked);
    connect(moreList_, &MoreListViewController::rowChosen, this, [this](int row) {
        const int index = kVisibleTabs + row;
        if (index < count() && moreShown_ != index) {
            showInMore(index);
            Q_EMIT didSelectFromMore(index);
        }
    });
}

void TabBarController::addTab(ViewController* screen, bool ownStack) {
    Tab tab;
    tab.wantsOwnStack = ownStack;
    tabs_.append(tab);
    install(int(tabs_.size()) - 1, screen);
    buildBarItems();
}

void TabBarController::addTab(const QString& title, const QString& imageName, bool ownStack,
                              ScreenMaker make) {
    Tab tab;
    tab.wantsOwnStack = ownStack;
    tab.make = std::move(make);
    tab.title = title;
    tab.imageName = imageName;
    tabs_.append(tab);
    buildBarItems();
}

bool TabBarController::isBuilt(int index) const {
    return index >= 0 && index < tabs_.size() && !tabs_[index].make;
}

void TabBarController::ensureBuilt(int index) const {
    if (index < 0 || index >= tabs_.size() || !tabs_[index].make) {
        return;
    }
    const ScreenMaker make = std::exchange(tabs_[index].make, nullptr);
    install(index, make());
}

void TabBarController::install(int index, ViewController* screen) const {
    auto* self = const_cast<TabBarController*>(this);  // building a tab on first use
    Tab& tab = tabs_[index];
    tab.screen = screen;
    if (tab.wantsOwnStack) {
        tab.ownStack = new NavigationStack(screen);
        tab.container = tab.ownStack.data();
    } else {
        tab.container = screen;
    }
    if (index >= kVisibleTabs) {
        // A tab without a stack of its own gets one in the More area, for the back button.
        NavigationStack* shown = tab.ownStack ? tab.ownStack.data() : new NavigationStack(screen);
        shown->setRootBackButton(kMoreTitle, [self] { self->popMoreToRoot(); });
        tab.container = shown;
        moreArea_->addWidget(shown);
    } else {
        pages_->addWidget(tab.container);
    }
    connect(screen, &ViewController::navigationItemChanged, self, &TabBarController::buildBarItems);
}

void TabBarController::buildBarItems() {
    QList<TabBar::Item> items;
    QList<QPair<QString, QString>> moreRows;
    for (int i = 0; i < tabs_.size(); ++i) {
        const Tab& tab = tabs_[i];
        const ViewController* s = tab.screen;
        const QString title = s ? s->tabTitle() : tab.title;
        const QString image = s ? s->tabImageName() : tab.imageName;
        if (i < kVisibleTabs) {
            items.append({title, image, itemsEnabled_});
        } else {
            moreRows.append({title, image});
        }
    }
    const bool needMore = tabs_.size() > kVisibleTabs;
    if (needMore) {
        if (pages_->indexOf(moreArea_) < 0) {
            pages_->addWidget(moreArea_);
        }
        items.append({kMoreTitle, kMoreImage, itemsEnabled_});
    }
    bar_->setItems(items);
    moreList_->setRows(moreRows);
}

ViewController* TabBarController::screen(int index) const {
    ensureBuilt(index);
    return index >= 0 && index < tabs_.size() ? tabs_[index].screen.data() : nullptr;
}

NavigationStack* TabBarController::navigationStack(int index) const {
    ensureBuilt(index);
    return index >= 0 && index < tabs_.size() ? tabs_[index].ownStack.data() : nullptr;
}

int TabBarController::selectedIndex() const {
    if (slot_ < kVisibleTabs) {
        return slot_;
    }
    return moreShown_;
}

void TabBarController::setSelectedIndex(int index) {
    if (index < 0 || index >= count()) {
        return;
    }
    if (index < kVisibleTabs) {
        showSlot(index);
        return;
    }
    showSlot(kVisibleTabs);
    showInMore(index);
}

void TabBarController::slotClicked(int slot) {
    if (slot == slot_ && slot < kVisibleTabs) {
        // A second tap on the selected tab goes back to its first screen.
        if (NavigationStack* stack = navigationStack(slot)) {
            stack->popToRootViewController(true);
        }
    }
    showSlot(slot);
    Q_EMIT didSelect(slot < kVisibleTabs ? slot : kMoreListIndex);
}

void TabBarController::showSlot(int slot) {
    if (slot < kVisibleTabs) {
        ensureBuilt(slot);
    }
    QWidget* page = slot < kVisibleTabs ? tabs_[slot].container.data() : moreArea_;
    if (slot == slot_ && pages_->currentWidget() == page) {
        return;
    }
    // A tab never built was never shown: nothing leaves.
    QWidget* leaving = slot_ == slot          ? nullptr
                       : slot_ < kVisibleTabs ? tabs_[slot_].container.data()
                                              : moreArea_->currentWidget();
    slot_ = slot;
    bar_->setCurrentSlot(slot);
    if (leaving) {
        notifyContainer(leaving, false);
    }
    pages_->setCurrentWidget(page);
    if (QWidget* arriving = currentContainer()) {
        notifyContainer(arriving, true);
    }
}

void TabBarController::showInMore(int index) {
    ensureBuilt(index);
    QWidget* leaving = moreArea_->currentWidget();
    moreShown_ = index;
    QWidget* shown = tabs_[index].container;
    if (slot_ == kVisibleTabs && leaving) {
        notifyContainer(leaving, false);
    }
    moreArea_->setCurrentWidget(shown);
    if (slot_ == kVisibleTabs) {
        notifyContainer(shown, true);
    }
}

void TabBarController::popMoreToRoot() {
    moreStack_->setNavigationBarHidden(false);
    moreStack_->popToRootViewController(false);
    if (moreShown_ == kMoreListIndex) {
        return;
    }
    QWidget* leaving = moreArea_->currentWidget();
    const int was = moreShown_;
    moreShown_ = kMoreListIndex;
    if (slot_ == kVisibleTabs && leaving) {
        notifyContainer(leaving, false);
    }
    if (auto* stack = qobject_cast<NavigationStack*>(tabs_[was].container.data())) {
        stack->popToRootViewController(false);
    }
    moreArea_->setCurrentWidget(moreStack_);
    if (slot_ == kVisibleTabs) {
        notifyContainer(moreStack_, true);
    }
}

void TabBarController::setItemsEnabled(bool enabled) {
    itemsEnabled_ = enabled;
    bar_->setAllEnabled(enabled);
    moreList_->setRowsEnabled(enabled);
}

void TabBarController::notifyWillAppear() {
    if (QWidget* c = currentContainer()) {
        notifyContainer(c, true);
    }
}

void TabBarController::notifyWillDisappear() {
    if (QWidget* c = currentContainer()) {
        notifyContainer(c, false);
    }
}

QWidget* TabBarController::currentContainer() const {
    if (slot_ < kVisibleTabs) {
        if (slot_ >= tabs_.size()) {
            return nullptr;
        }
        if (!isBuilt(slot_)) {
            // The selected tab is about to be seen: built now, and put on the page.
            ensureBuilt(slot_);
            pages_->setCurrentWidget(tabs_[slot_].container);
        }
        return tabs_[slot_].container.data();
    }
    return moreArea_->currentWidget();
}

void TabBarController::notifyContainer(QWidget* container, bool appear) {
    if (auto* stack = qobject_cast<NavigationStack*>(container)) {
        appear ? stack->notifyWillAppear() : stack->notifyWillDisappear();
    } else if (auto* screen = qobject_cast<ViewController*>(container)) {
        appear ? screen->viewWillAppear() : screen->viewWillDisappear();
    }
}

void TabBarController::resizeEvent(QResizeEvent*) {
    relayout();
}

void TabBarController::relayout() {
    const UiScale s = UiScale::of(this);
    const int barH = s.px(TabBar::kHeightPoints);
    pages_->setGeometry(0, 0, width(), height() - barH);
    bar_->setGeometry(0, height() - barH, width(), barH);
}

}  // namespace pelloran
