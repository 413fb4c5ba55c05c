#include "ui/text_row_delegate.h"

#include "ui/colors.h"
#include "ui/ui_scale.h"

#include <QAbstractItemView>
#include <QPainter>

namespace pelloran {

namespace {
constexpr qreal kContentHeight = 36;
constexpr qreal kTextX = 5;
constexpr qreal kFontPoints = 12;
}  // namespace

TextRowDelegate::TextRowDelegate(QAbstractItemView* view)
    : QStyledItemDelegate(view), view_(view) {}

QSize TextRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {view_->viewport()->width(), UiScale::of(view_).px(kRowHeightPoints)};
}

void TextRowDelegate::paint(QPainter* p, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const UiScale s = UiScale::of(view_);
    const QRect row = option.rect;
    const QRect content(row.left(), row.top(), row.width(), s.px(kContentHeight));
    const bool selected = option.state & QStyle::State_Selected;
    p->save();
    p->fillRect(content, selected ? colors::rowHighlight() : colors::rowBackground());
    p->setPen(colors::rowText());
    p->setFont(s.font(FontFace::ArialBold, kFontPoints));
    const QRect text = content.adjusted(s.px(kTextX), 0, -s.px(kTextX), 0);
    p->drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                p->fontMetrics().elidedText(index.data().toString(), Qt::ElideRight, text.width()));
    p->restore();
}

}  // namespace pelloran
