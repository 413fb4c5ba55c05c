// Torrent files, pictures, the announcement endpoint and the generated data itself.

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QSet>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <thread>

#include "bencode_reader.h"
#include "demo_site.h"
#include "site_client.h"

namespace pelloran::demo::test {
namespace {

class DemoFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(site.start());
        client = std::make_unique<SiteClient>(site.siteHost());
        ASSERT_EQ(client->signIn(site.memberName(), site.memberPassword()).status, 302);
    }

    DemoSite site;
    std::unique_ptr<SiteClient> client;
};

TEST_F(DemoFilesTest, EveryDownloadHrefFormServesItsTorrentFile) {
    // One torrent per form of href the listing writes.
    const std::vector<std::function<bool(const QString&)>> forms = {
        [](const QString& h) {
            return h.startsWith(QLatin1String("/download/")) && !h.contains(QLatin1Char(' ')) &&
                   !h.contains(QLatin1Char('%'));
        },
        [](const QString& h) { return h.contains(QLatin1Char(' ')); },
        [](const QString& h) {
            return std::any_of(h.begin(), h.end(), [](QChar c) { return c.unicode() >= 128; });
        },
        [](const QString& h) {
            return h.startsWith(QLatin1String("/download/")) && h.contains(QLatin1String("%20"));
        },
        [](const QString& h) {
            return h.startsWith(QLatin1String("/download.php?id=")) &&
                   h.contains(QLatin1String("&amp;"));
        },
    };
    for (const auto& form : forms) {
        const auto it = std::find_if(site.torrents().begin(), site.torrents().end(),
                                     [&](const DemoTorrent& t) { return form(t.downloadHref); });
        ASSERT_NE(it, site.torrents().end());
        SCOPED_TRACE(it->downloadHref.toStdString());
        const Reply reply = client->get(escapeHref(it->downloadHref));
        ASSERT_EQ(reply.status, 200);
        EXPECT_EQ(reply.header("Content-Type"), QLatin1String("application/x-bittorrent"));
        EXPECT_TRUE(reply.header("Content-Disposition")
                        .startsWith(QLatin1String("attachment; filename=\"")));
        EXPECT_EQ(reply.body, it->torrentFile);
    }
    EXPECT_EQ(client->get(QStringLiteral("/download/1/none.torrent")).status, 404);
    EXPECT_EQ(client->get(QStringLiteral("/download.php?id=x")).status, 404);
}

TEST_F(DemoFilesTest, TorrentFilesAreValidPrivateSingleFileTorrents) {
    const QString announcePrefix =
        QStringLiteral("http://%1/announce.php?passkey=").arg(site.siteHost());
    for (const DemoTorrent& t : site.torrents()) {
        SCOPED_TRACE(t.name.toStdString());
        const std::optional<BValue> root = parseBencode(t.torrentFile);
        ASSERT_TRUE(root && root->dict());
        ASSERT_TRUE(root->at("announce") && root->at("announce")->string());
        EXPECT_TRUE(root->at("announce")->string()->startsWith(announcePrefix.toUtf8()));
        ASSERT_TRUE(root->at("creation date") && root->at("creation date")->integer());
        const BValue* info = root->at("info");
        ASSERT_TRUE(info && info->dict());
        const qint64* length = info->at("length") ? info->at("length")->integer() : nullptr;
        const qint64* pieceLength =
            info->at("piece length") ? info->at("piece length")->integer() : nullptr;
        const QByteArray* pieces = info->at("pieces") ? info->at("pieces")->string() : nullptr;
        ASSERT_TRUE(length && pieceLength && pieces);
        EXPECT_GE(*length, 1 << 20);
        EXPECT_LE(*length, 4 << 20);
        EXPECT_EQ(*pieceLength, 262144);
        EXPECT_EQ(pieces->size(), 20 * ((*length + *pieceLength - 1) / *pieceLength));
        ASSERT_TRUE(info->at("name") && info->at("name")->string());
        EXPECT_EQ(QString::fromUtf8(*info->at("name")->string()), t.fileName);
        ASSERT_TRUE(info->at("private") && info->at("private")->integer());
        EXPECT_EQ(*info->at("private")->integer(), 1);
    }
    // Distinct files: every info dictionary hashes differently.
    QSet<QByteArray> names;
    for (const DemoTorrent& t : site.torrents()) {
        names.insert(t.fileName.toUtf8());
    }
    EXPECT_EQ(names.size(), qsizetype(site.torrents().size()));
}

TEST_F(DemoFilesTest, CategoryPicturesAreServedForEveryCategory) {
    for (const DemoCategory& c : DemoSite::categories()) {
        const Reply reply = client->get(QStringLiteral("/images/categories/") + c.image);
        ASSERT_EQ(reply.status, 200) << c.image.toStdString();
        EXPECT_FALSE(QImage::fromData(reply.body, "PNG").isNull());
    }
    EXPECT_EQ(client->get(QStringLiteral("/images/categories/nothing.png")).status, 404);
}

TEST_F(DemoFilesTest, AnnouncementAnswersTheConfiguredText) {
    SiteClient announce(site.announceHost());
    const QString target = QStringLiteral("/pelloran.php?v=0.1.0&m=Linux&p=6.1");
    EXPECT_EQ(announce.get(target).body, QByteArray());
    site.setAnnouncement(QStringLiteral("STOP:Closed for maintenance"));
    EXPECT_EQ(announce.get(target).body, QByteArray("STOP:Closed for maintenance"));
    EXPECT_EQ(site.requestLog(QStringLiteral("announce")).back().query,
              QLatin1String("v=0.1.0&m=Linux&p=6.1"));
}

// A bounded wait for `work` on its own thread. When it doesn't end in time the failure is
// reported and the test program ends there: the thread still uses what the test owns.
void endsWithin(std::chrono::seconds bound, const char* what, const std::function<void()>& work) {
    std::promise<void> ended;
    std::future<void> done = ended.get_future();
    std::thread worker([&] {
        work();
        ended.set_value();
    });
    if (done.wait_for(bound) != std::future_status::ready) {
        ADD_FAILURE() << what << " did not end";
        std::fflush(nullptr);
        std::_Exit(1);
    }
    worker.join();
}

TEST_F(DemoFilesTest, StopEndsAListingPageThatIsStillWaitingForItsDelay) {
    site.setListingDelay(0, 10 * 60 * 1000);
    Reply reply;
    std::thread request(
        [&] { reply = client->get(QStringLiteral("/torrents/browse/index/page/1")); });
    bool arrived = false;  // the page's handler logs it, then waits for its delay
    for (int i = 0; i < 2000 && !arrived; ++i) {
        arrived = site.requestLog(QStringLiteral("site")).size() >= 2;  // sign-in, then the page
        if (!arrived) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    EXPECT_TRUE(arrived) << "the page never reached the site";
    // Each would wait out the ten minutes if the delay ignored the stop.
    endsWithin(std::chrono::seconds(60), "stopping the site", [&] { site.stop(); });
    endsWithin(std::chrono::seconds(60), "the page's request", [&] { request.join(); });
}

TEST(DemoDataTest, SameSeedSameCatalogAndOtherSeedOtherCatalog) {
    auto names = [](quint32 seed) {
        DemoSite site(DemoSiteOptions{40, 25, seed, QStringLiteral("Login"), 0});
        QStringList out;
        for (const DemoTorrent& t : site.torrents()) {
            out << t.name + t.date + t.sizeText + t.downloadHref;
        }
        return out;
    };
    EXPECT_EQ(names(3), names(3));
    EXPECT_NE(names(3), names(4));
}

}  // namespace
}  // namespace pelloran::demo::test
