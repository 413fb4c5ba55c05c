// The list's rows: records, then the load-more row or the quiet status line.

#include "lists/torrent_list_model.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

TorrentPtr row(const QString& name) {
    auto t = std::make_shared<Torrent>();
    t->setName(name);
    return t;
}

TEST(TorrentListModel, FooterRowFollowsTheRecords) {
    TorrentListModel model;
    EXPECT_FALSE(model.hasTorrentData());
    EXPECT_EQ(model.rowCount(), 0);

    model.appendTorrents({row(QStringLiteral("a")), row(QStringLiteral("b"))});
    model.showLoadMore(QStringLiteral("Sat, Jun 30 9:14 PM"));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.kindOf(2), ListRowKind::LoadMore);
    EXPECT_EQ(model.index(2).data().toString(), QStringLiteral("Sat, Jun 30 9:14 PM"));

    bool enabled = false;
    model.setLoadMoreEnabledWhen([&] { return enabled; });
    EXPECT_EQ(model.flags(model.index(2)), Qt::NoItemFlags);  // shown but inert
    enabled = true;
    EXPECT_TRUE(model.flags(model.index(2)) & Qt::ItemIsEnabled);

    model.showStatus(QStringLiteral("No page"));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.kindOf(2), ListRowKind::Status);
    EXPECT_FALSE(model.hasLoadMoreRow());
    EXPECT_EQ(model.flags(model.index(2)), Qt::NoItemFlags);

    model.appendTorrents({row(QStringLiteral("c"))});
    EXPECT_EQ(model.kindOf(2), ListRowKind::Torrent);
    EXPECT_EQ(model.kindOf(3), ListRowKind::Status);
    model.hideFooter();
    EXPECT_EQ(model.rowCount(), 3);
}

TEST(TorrentListModel, MarksEveryRowOfTheNameAndOnlyThatName) {
    TorrentListModel model;
    model.setTorrentData(TorrentList{row(QStringLiteral("Dust & Bones")), row(QStringLiteral("x")),
                                     row(QStringLiteral("Dust & Bones")),
                                     row(QStringLiteral("dust & bones"))});
    int changed = 0;
    QObject::connect(&model, &TorrentListModel::dataChanged, [&] { ++changed; });
    model.markDownloaded(QStringLiteral("Dust & Bones"));
    EXPECT_TRUE(model.torrentAt(0)->isDownloaded());
    EXPECT_FALSE(model.torrentAt(1)->isDownloaded());
    EXPECT_TRUE(model.torrentAt(2)->isDownloaded());
    EXPECT_FALSE(model.torrentAt(3)->isDownloaded());
    EXPECT_EQ(changed, 2);
}

}  // namespace
}  // namespace pelloran
