// A torrent row as drawn in a window of the phone's width and in a wider one: the seeder and
// leecher counts keep to the right edge, and the size stops short of the seeder count however
// many digits that has.

#include "lists/torrent_list_model.h"
#include "site/torrent.h"
#include "ui/torrent_item_delegate.h"
#include "ui/ui_scale.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QListView>
#include <QPixmap>

namespace pelloran {
namespace {

// The columns (in points, scale 1) where the small texts' line has ink.
QList<int> inkColumns(int widthPoints, const QString& size, const QString& up) {
    QListView view;
    UiScale::attach(&view, UiScale(1.0));
    view.setFrameShape(QFrame::NoFrame);
    view.setStyleSheet(QStringLiteral("QListView { background: black; }"));
    TorrentListModel model;
    auto t = std::make_shared<Torrent>();
    t->setName(QStringLiteral("Row"));
    t->setSize(size);
    t->setUp(up);
    model.setTorrentData(TorrentList{t});
    TorrentItemDelegate delegate(&view, [](const std::optional<QString>&, const QSize&) {
        return QPixmap();  // no images: only the texts draw
    });
    view.setItemDelegate(&delegate);
    view.setModel(&model);
    view.resize(widthPoints, 120);
    view.show();
    view.doItemsLayout();
    QCoreApplication::processEvents();
    const QImage image = view.viewport()->grab().toImage();
    QList<int> columns;
    for (int x = 100; x < image.width(); ++x) {
        for (int y = 21; y < 32; ++y) {
            if (qGray(image.pixel(x, y)) > 110) {
                columns.append(x);
                break;
            }
        }
    }
    return columns;
}

TEST(CellDrawingTest, CountsKeepToTheRightEdgeAndTheSizeStopsShortOfThem) {
    const QString size = QStringLiteral("1800.65 MB");
    const QString up = QStringLiteral("160399");
    for (const int width : {320, 640}) {
        SCOPED_TRACE(width);
        const int extra = width - 320;
        const QList<int> upOnly = inkColumns(width, QString(), up);
        ASSERT_FALSE(upOnly.isEmpty());
        // Right-aligned 4 points before the up arrow, which moves with the edge.
        EXPECT_GE(upOnly.last(), 222 + extra);
        EXPECT_LE(upOnly.last(), 231 + extra);
        // With the size drawn too, the count's columns are the count's alone, and a blank
        // column parts the two.
        const QList<int> both = inkColumns(width, size, up);
        QList<int> fromCount;
        for (int x : both) {
            if (x >= upOnly.first() - 1) {
                fromCount.append(x);
            }
        }
        EXPECT_EQ(fromCount, upOnly) << "the size runs into the count";
        EXPECT_GT(both.size(), upOnly.size());  // the size is there, cut short
    }
}

}  // namespace
}  // namespace pelloran
