#include "ui/search_bar.h"

#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QAction>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>

namespace pelloran {

namespace {
constexpr qreal kFieldHeight = 30;
constexpr qreal kSideMargin = 8;
constexpr qreal kFontPoints = 14;
constexpr qreal kIconPoints = 14;
}  // namespace

SearchBar::SearchBar(QWidget* parent) : QWidget(parent), field_(new QLineEdit(this)) {
    field_->setPlaceholderText(QStringLiteral("Search"));
    field_->setClearButtonEnabled(true);
    // Words go to the site exactly as typed.
    field_->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    field_->setAttribute(Qt::WA_MacShowFocusRect, false);
    connect(field_, &QLineEdit::returnPressed, this, &SearchBar::searchButtonClicked);
}

QString SearchBar::text() const {
    return field_->text();
}

void SearchBar::resignFirstResponder() {
    field_->clearFocus();
}

void SearchBar::resizeEvent(QResizeEvent*) {
    const UiScale s = UiScale::of(this);
    const int h = s.px(kFieldHeight);
    field_->setGeometry(s.px(kSideMargin), (height() - h) / 2, width() - 2 * s.px(kSideMargin), h);
    field_->setFont(s.font(FontFace::Arial, kFontPoints));
    field_->setStyleSheet(QStringLiteral("QLineEdit { color: white; background: %1; border: 1px "
                                         "solid %2; border-radius: %3px; padding-left: %4px; "
                                         "selection-background-color: #e8a33d; }")
                              .arg(colors::grey(0.22).name(), colors::grey(0.38).name())
                              .arg(h / 2)
                              .arg(s.px(4)));
    QPalette pal = field_->palette();
    pal.setColor(QPalette::PlaceholderText, colors::grey(0.55));
    field_->setPalette(pal);
    const QList<QAction*> actions = field_->actions();
    for (QAction* a : actions) {
        if (a->objectName() == QLatin1String("magnifier")) {
            field_->removeAction(a);
            a->deleteLater();
        }
    }
    auto* magnifier = new QAction(field_);
    magnifier->setObjectName(QStringLiteral("magnifier"));
    magnifier->setIcon(ImageLibrary::tinted(QStringLiteral("tabbar-search.png"),
                                            s.size(kIconPoints, kIconPoints), devicePixelRatioF(),
                                            colors::grey(0.6)));
    field_->addAction(magnifier, QLineEdit::LeadingPosition);
}

void SearchBar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The dark translucent bar style: near black, a touch lighter at the top.
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, QColor(30, 30, 30, 235));
    fill.setColorAt(1, QColor(8, 8, 8, 235));
    p.fillRect(rect(), fill);
    p.fillRect(QRect(0, height() - 1, width(), 1), colors::grey(0.25));
}

}  // namespace pelloran
