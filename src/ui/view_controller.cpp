#include "ui/view_controller.h"

#include "ui/navigation_stack.h"

namespace pelloran {

ViewController::ViewController(QWidget* parent) : QWidget(parent) {}

NavigationStack* ViewController::navigationStack() const {
    for (const QWidget* w = this; w; w = w->parentWidget()) {
        if (const auto* vc = qobject_cast<const ViewController*>(w); vc && vc->stack_) {
            return static_cast<NavigationStack*>(vc->stack_.data());
        }
    }
    return nullptr;
}

void ViewController::setStack(NavigationStack* stack) {
    stack_ = stack;
}

void ViewController::setTitle(const QString& title) {
    title_ = title;
    Q_EMIT navigationItemChanged();
}

void ViewController::setTabBarItem(const QString& title, const QString& imageName) {
    tabTitle_ = title;
    tabImage_ = imageName;
    Q_EMIT navigationItemChanged();
}

void ViewController::setLeftBarWidget(QWidget* w) {
    left_ = w;
    Q_EMIT navigationItemChanged();
}

void ViewController::setRightBarWidget(QWidget* w) {
    right_ = w;
    Q_EMIT navigationItemChanged();
}

}  // namespace pelloran
