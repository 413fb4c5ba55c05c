#pragma once
// The base of every screen: a widget with a title for the navigation bar, a tab bar item (title
// and image name) when it is a tab, optional bar buttons, and the hooks its container calls
// before it shows or hides it. Screens are thin: they ask the core and draw what comes back.

#include <QPointer>
#include <QString>
#include <QWidget>

namespace pelloran {

class NavigationStack;

class ViewController : public QWidget {
    Q_OBJECT
public:
    explicit ViewController(QWidget* parent = nullptr);

    QString title() const { return title_; }
    void setTitle(const QString& title);

    // The item this screen shows in the tab bar or the "More" list.
    QString tabTitle() const { return tabTitle_; }
    QString tabImageName() const { return tabImage_; }
    void setTabBarItem(const QString& title, const QString& imageName);

    // Buttons the navigation bar shows while this screen is on top (not owned until shown).
    QWidget* leftBarWidget() const { return left_; }
    QWidget* rightBarWidget() const { return right_; }
    void setLeftBarWidget(QWidget* w);
    void setRightBarWidget(QWidget* w);

    // The stack this screen is on, or, for a screen shown inside another screen, that one's
    // stack; null when there is none.
    NavigationStack* navigationStack() const;

    // Called just before the screen is shown (pushed, uncovered, its tab selected) and just
    // before it is covered or its tab left.
    virtual void viewWillAppear() {}
    virtual void viewWillDisappear() {}

Q_SIGNALS:
    void navigationItemChanged();

private:
    friend class NavigationStack;
    void setStack(NavigationStack* stack);
    QString title_;
    QString tabTitle_;
    QString tabImage_;
    QPointer<QWidget> left_;
    QPointer<QWidget> right_;
    QPointer<QWidget> stack_;  // a NavigationStack
};

}  // namespace pelloran
