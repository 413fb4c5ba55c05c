#include "lists/favorite_compose_view_controller.h"

#include "lists/edit_favorite_list_view_controller.h"
#include "site/filter.h"
#include "ui/colors.h"
#include "ui/navigation_bar.h"
#include "ui/push_options_form.h"
#include "ui/sheet_chrome.h"
#include "ui/ui_scale.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace pelloran {

namespace {
constexpr qreal kMargin = 20;
constexpr qreal kFieldHeight = 34;

}  // namespace

FavoriteComposeViewController::FavoriteComposeViewController(QWidget* host)
    : ViewController(host),
      bar_(new NavigationBar(this)),
      cancel_(sheet_chrome::barButton(QStringLiteral("Cancel"), this)),
      save_(sheet_chrome::barButton(QStringLiteral("Save"), this)),
      caption_(new QLabel(QStringLiteral("New keyword:"), this)),
      newItem_(new QLineEdit(this)),
      error_(new QLabel(this)),
      help_(new QLabel(this)),
      routeToggle_(new QToolButton(this)),
      route_(new PushOptionsForm(this)) {
    setTitle(QStringLiteral("New filter"));
    setObjectName(QStringLiteral("favoriteCompose"));
    bar_->setTitle(title());
    bar_->setItems(cancel_, save_);
    connect(cancel_, &QToolButton::clicked, this, &FavoriteComposeViewController::cancel);
    connect(save_, &QToolButton::clicked, this, &FavoriteComposeViewController::updateList);
    newItem_->setObjectName(QStringLiteral("newItem"));
    newItem_->setPlaceholderText(QStringLiteral("for example 720p|1080p"));
    newItem_->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    newItem_->installEventFilter(this);
    // Return, like the end of editing, only puts the keyboard away.
    connect(newItem_, &QLineEdit::returnPressed, newItem_, [this] { newItem_->clearFocus(); });
    connect(newItem_, &QLineEdit::textEdited, error_, [this] { error_->clear(); });
    caption_->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    error_->setStyleSheet(QStringLiteral("color: #ff6b5e; background: transparent;"));
    error_->setWordWrap(true);
    help_->setWordWrap(true);
    help_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(colors::grey(0.65).name()));
    help_->setText(QStringLiteral(
        "Favorites list the torrents whose name contains the keyword. Capitals count: x264 is "
        "not X264. A | gives alternatives (720p|1080p), a dot stands for any character, and an "
        "empty keyword keeps every torrent."));
    routeToggle_->setObjectName(QStringLiteral("routeToggle"));
    routeToggle_->setCursor(Qt::PointingHandCursor);
    routeToggle_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    routeToggle_->setStyleSheet(
        QStringLiteral("QToolButton { color: #e8a33d; background: transparent; border: none; "
                       "text-align: left; }"));
    connect(routeToggle_, &QToolButton::clicked, this, [this] { setRouteOpen(!routeOpen_); });
    route_->setHeading(QStringLiteral("What it accepts goes:"));
    setPushSupport({});
    hide();
}

void FavoriteComposeViewController::setPushSupport(const PushOptionSupport& support) {
    route_->setSupport(support);
    routeToggle_->setVisible(support.any());
    setRouteOpen(routeOpen_ && support.any());
}

void FavoriteComposeViewController::setRouteOpen(bool open) {
    routeOpen_ = open;
    routeToggle_->setText(open ? QStringLiteral("▾ Where it goes")
                               : QStringLiteral("▸ Where it goes"));
    route_->setVisible(open);
    resizeEvent(nullptr);
}

PushOptions FavoriteComposeViewController::route() const {
    if (!routeOpen_) {
        return {};
    }
    // A field left empty, or the switch off, leaves the client's default in place.
    PushOptions options = route_->options();
    if (options.category && options.category->isEmpty()) {
        options.category.reset();
    }
    if (options.tags && options.tags->isEmpty()) {
        options.tags.reset();
    }
    if (options.savePath && options.savePath->isEmpty()) {
        options.savePath.reset();
    }
    if (options.paused && !*options.paused) {
        options.paused.reset();
    }
    return options;
}

void FavoriteComposeViewController::present() {
    wasEditing_ = false;
    tempString_ = QString();
    sheet_chrome::coverHost(this);
    show();
    raise();
    newItem_->setFocus();
}

void FavoriteComposeViewController::dismiss() {
    hide();
    deleteLater();
}

void FavoriteComposeViewController::updateList() {
    const QString keyword = newItem_->text();
    // A keyword is looked for as a piece of a pattern: one that doesn't make a pattern could
    // never match, so it is refused here rather than kept silently useless.
    if (!Filter::isUsable(keyword)) {
        error_->setText(
            QStringLiteral("This keyword can't be used: check its brackets and "
                           "special characters (\\ ( ) [ ] { } * + ?)."));
        newItem_->setFocus();
        return;
    }
    if (delegate_) {
        delegate_->didUpdateList(keyword, route());
    } else {
        dismiss();
    }
}

void FavoriteComposeViewController::cancel() {
    if (delegate_) {
        delegate_->didCancelUpdateList();
    } else {
        dismiss();
    }
}

void FavoriteComposeViewController::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    ViewController::keyPressEvent(event);
}

bool FavoriteComposeViewController::eventFilter(QObject* watched, QEvent* event) {
    sheet_chrome::followHost(this, watched, event);
    if (watched == newItem_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancel();
        return true;
    }
    if (watched == newItem_ && event->type() == QEvent::FocusIn) {
        wasEditing_ = true;
    }
    return ViewController::eventFilter(watched, event);
}

void FavoriteComposeViewController::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors::listBackground());
}

void FavoriteComposeViewController::resizeEvent(QResizeEvent*) {
    const UiScale s = UiScale::of(this);
    sheet_chrome::layoutBar(this, bar_, cancel_, save_);
    int y = s.px(NavigationBar::kHeightPoints + 20);
    caption_->setFont(s.font(FontFace::System, 15));
    caption_->setGeometry(s.px(kMargin), y, width() - 2 * s.px(kMargin), s.px(22));
    y += s.px(26);
    newItem_->setFont(s.font(FontFace::Arial, 16));
    newItem_->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: %1; border: 1px "
                                           "solid #e8a33d; border-radius: %2px; padding: 0 %3px; "
                                           "selection-background-color: #e8a33d; }")
                                .arg(colors::grey(0.12).name())
                                .arg(s.px(5))
                                .arg(s.px(6)));
    newItem_->setGeometry(s.px(kMargin), y, width() - 2 * s.px(kMargin), s.px(kFieldHeight));
    y += s.px(kFieldHeight + 8);
    error_->setFont(s.font(FontFace::Arial, 12));
    error_->setGeometry(s.px(kMargin), y, width() - 2 * s.px(kMargin), s.px(32));
    y += s.px(36);
    help_->setFont(s.font(FontFace::Arial, 12));
    help_->setGeometry(s.px(kMargin), y, width() - 2 * s.px(kMargin), s.px(90));
    // The route goes under the help, so the screen without it stays as it always was.
    y += s.px(96);
    if (routeToggle_->isVisibleTo(this)) {
        routeToggle_->setFont(s.font(FontFace::SystemBold, 14));
        routeToggle_->setGeometry(s.px(kMargin), y, routeToggle_->sizeHint().width(), s.px(26));
        y += s.px(32);
        if (routeOpen_) {
            route_->move(s.px(kMargin), y);
        }
    }
}

}  // namespace pelloran
