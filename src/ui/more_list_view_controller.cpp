#include "ui/more_list_view_controller.h"

#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

namespace pelloran {

namespace {

constexpr qreal kIconPoints = 30;
constexpr qreal kIconLeft = 10;
constexpr qreal kTextLeft = 52;
constexpr qreal kTitlePoints = 17;
constexpr int kImageRole = Qt::UserRole + 1;

// Paints a row: grey template image, title, chevron; a highlight while pressed or focused.
class MoreRowDelegate : public QStyledItemDelegate {
public:
    explicit MoreRowDelegate(QListWidget* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
        const UiScale s = UiScale::of(list_);
        return {list_->viewport()->width(), s.px(MoreListViewController::kRowHeightPoints)};
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const UiScale s = UiScale::of(list_);
        const QRect r = option.rect;
        const bool enabled = (index.flags() & Qt::ItemIsEnabled) != 0;
        const bool lit = option.state & (QStyle::State_Selected | QStyle::State_MouseOver);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->fillRect(r, lit && enabled ? colors::rowHighlight() : colors::rowBackground());
        p->fillRect(QRect(r.left(), r.bottom(), r.width(), 1), colors::listBackground());
        QColor ink = colors::rowText();
        if (!enabled) {
            ink.setAlphaF(0.4f);
        }
        const QSize icon = s.size(kIconPoints, kIconPoints);
        p->drawPixmap(r.left() + s.px(kIconLeft), r.top() + (r.height() - icon.height()) / 2,
                      ImageLibrary::tinted(index.data(kImageRole).toString(), icon,
                                           list_->devicePixelRatioF(), ink));
        p->setPen(ink);
        p->setFont(s.font(FontFace::SystemBold, kTitlePoints));
        p->drawText(r.adjusted(s.px(kTextLeft), 0, -s.px(30), 0), Qt::AlignVCenter | Qt::AlignLeft,
                    index.data(Qt::DisplayRole).toString());
        // Disclosure chevron.
        QPen pen(ink, s.pxF(2), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p->setPen(pen);
        const qreal cx = r.right() - s.pxF(16);
        const qreal cy = r.center().y();
        const qreal d = s.pxF(4.5);
        p->drawPolyline(QList<QPointF>{{cx - d, cy - 2 * d}, {cx + d, cy}, {cx - d, cy + 2 * d}});
        p->restore();
    }

private:
    QListWidget* list_;
};

}  // namespace

MoreListViewController::MoreListViewController(QWidget* parent)
    : ViewController(parent), list_(new QListWidget(this)) {
    setTitle(QStringLiteral("More"));
    list_->setItemDelegate(new MoreRowDelegate(list_));
    list_->setFrameShape(QFrame::NoFrame);
    list_->setMouseTracking(true);
    list_->setUniformItemSizes(true);
    list_->setStyleSheet(
        QStringLiteral("QListWidget { background: %1; }").arg(colors::listBackground().name()));
    // A click or Return opens the row; the selection is only a cursor.
    connect(list_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Q_EMIT rowChosen(list_->row(item)); });
    connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (enabled_) {
            Q_EMIT rowChosen(list_->row(item));
        }
    });
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
}

void MoreListViewController::setRows(const QList<QPair<QString, QString>>& rows) {
    list_->clear();
    for (const auto& [title, image] : rows) {
        auto* item = new QListWidgetItem(title, list_);
        item->setData(kImageRole, image);
    }
    setRowsEnabled(enabled_);
}

int MoreListViewController::rowCount() const {
    return list_->count();
}

void MoreListViewController::setRowsEnabled(bool enabled) {
    enabled_ = enabled;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        item->setFlags(enabled ? (item->flags() | Qt::ItemIsEnabled)
                               : (item->flags() & ~Qt::ItemIsEnabled));
    }
}

void MoreListViewController::viewWillAppear() {
    list_->clearSelection();
    list_->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
}

void MoreListViewController::resizeEvent(QResizeEvent*) {
    list_->setGeometry(rect());
    list_->doItemsLayout();
}

}  // namespace pelloran
