// Deleting a row of a list: the swipe that shows the Delete button, the taps that use or dismiss
// it, and the Delete key.

#include "ui/row_deletion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>

namespace pelloran {
namespace {

class RowDeletionTest : public ::testing::Test {
protected:
    RowDeletionTest() : model({"a", "b", "c", "d"}) {
        list.setModel(&model);
        list.resize(320, 240);
        deletion = new RowDeletion(&list, [this](int row) {
            deleted.append(row);
            model.removeRow(row);
        });
        list.show();
    }

    // A left-button drag over the viewport from `from` to `to`, in steps.
    void drag(QPoint from, QPoint to) {
        QWidget* vp = list.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 4; ++step) {
            const QPoint at = from + (to - from) * step / 4;
            QMouseEvent move(QEvent::MouseMove, at, vp->mapToGlobal(at), Qt::NoButton,
                             Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(vp, &move);
        }
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    }
    QPoint rowPoint(int row, int x) const {
        return {x, list.visualRect(model.index(row)).center().y()};
    }

    QStringListModel model;
    QListView list;
    RowDeletion* deletion = nullptr;
    QList<int> deleted;
};

TEST_F(RowDeletionTest, ASwipeLeftShowsTheButtonAndItsTapDeletesThatRow) {
    drag(rowPoint(2, 250), rowPoint(2, 150));
    ASSERT_EQ(deletion->revealedRow(), 2);
    EXPECT_TRUE(deletion->deleteButton()->isVisible());
    EXPECT_TRUE(deleted.isEmpty());  // shown, not used yet
    const QRect row = list.visualRect(model.index(2));
    EXPECT_EQ(deletion->deleteButton()->geometry().right(), row.right());
    EXPECT_EQ(deletion->deleteButton()->geometry().top(), row.top());

    QTest::mouseClick(deletion->deleteButton(), Qt::LeftButton);
    EXPECT_EQ(deleted, QList<int>{2});
    EXPECT_EQ(model.stringList(), (QStringList{"a", "b", "d"}));
    EXPECT_EQ(deletion->revealedRow(), -1);
}

TEST_F(RowDeletionTest, OtherMovesAndTapsDeleteNothing) {
    struct Case {
        const char* what;
        QPoint from;
        QPoint to;
    };
    const Case cases[] = {
        {"to the right", rowPoint(1, 100), rowPoint(1, 250)},
        {"too short", rowPoint(1, 250), rowPoint(1, 235)},
        {"mostly down", rowPoint(0, 250), rowPoint(3, 200)},
        {"below the rows", QPoint(250, 220), QPoint(100, 220)},
    };
    for (const Case& c : cases) {
        drag(c.from, c.to);
        EXPECT_EQ(deletion->revealedRow(), -1) << c.what;
    }
    // A tap beside a shown button puts it away and does not select the row tapped.
    drag(rowPoint(1, 250), rowPoint(1, 150));
    ASSERT_EQ(deletion->revealedRow(), 1);
    list.clearSelection();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rowPoint(3, 50));
    EXPECT_EQ(deletion->revealedRow(), -1);
    EXPECT_TRUE(list.selectionModel()->selectedIndexes().isEmpty());
    // So does a change of the rows.
    drag(rowPoint(1, 250), rowPoint(1, 150));
    model.insertRows(0, 1);
    EXPECT_EQ(deletion->revealedRow(), -1);
    EXPECT_TRUE(deleted.isEmpty());
    EXPECT_EQ(model.rowCount(), 5);
}

TEST_F(RowDeletionTest, TheDeleteKeyRemovesTheCurrentRow) {
    list.setCurrentIndex(model.index(1));
    QTest::keyClick(&list, Qt::Key_Delete);
    EXPECT_EQ(deleted, QList<int>{1});
    EXPECT_EQ(model.stringList(), (QStringList{"a", "c", "d"}));
    QTest::keyClick(&list, Qt::Key_Delete, Qt::ControlModifier);  // not a delete
    EXPECT_EQ(deleted.size(), 1);
}

}  // namespace
}  // namespace pelloran
