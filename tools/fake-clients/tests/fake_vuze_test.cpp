#include "fake_vuze.h"

#include <gtest/gtest.h>

#include "client_bodies.h"

namespace pelloran::fake {
namespace {

using namespace test;

const std::string kUploadTarget = "/index.tmpl?d=u&local=1";

class FakeVuzeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(vuze.start()); }
    FakeVuze vuze;
};

TEST_F(FakeVuzeTest, AcceptsTheClientsUploadAndKeepsTheFilenameBytes) {
    // The client writes the name unchanged: a quote and non-ASCII letters travel as raw UTF-8.
    const QByteArray filename = "Ubuntu \"24.04\" Ærø 日本.torrent";
    const QByteArray body = vuzeBody(filename, kTorrent);

    const auto result = post(vuze.port(), kUploadTarget, body);

    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    const auto added = vuze.addedTorrents();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].filename, filename);
    EXPECT_EQ(added[0].bytes, kTorrent);
    EXPECT_TRUE(added[0].bencoded);

    const ReceivedRequest request = vuze.lastRequest();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, QByteArray::fromStdString(kUploadTarget));
    EXPECT_EQ(request.header("content-type"), QByteArray::fromStdString(kMultipartType));
    EXPECT_EQ(request.body, body);
    EXPECT_FALSE(request.malformed);
    ASSERT_EQ(request.parts.size(), 2u);
    EXPECT_EQ(request.parts[0].name, "upfile_1");
    EXPECT_EQ(request.status, 200);
}

TEST_F(FakeVuzeTest, RefusesUploadsWithoutAWellFormedFile) {
    const QByteArray good = vuzeBody("a.torrent", kTorrent);
    const struct {
        const char* fault;
        std::string target;
        QByteArray body;
        std::string contentType;
        bool malformed;
    } cases[] = {
        {"broken closing delimiter", kUploadTarget,
         QByteArray(good).replace(kBoundary + "--", kBoundary + "-"), kMultipartType, true},
        {"file sent as torrent_file", kUploadTarget, utorrentBody("a.torrent", kTorrent),
         kMultipartType, false},
        {"empty file", kUploadTarget, vuzeBody("a.torrent", ""), kMultipartType, false},
        {"not multipart", kUploadTarget, kTorrent, "application/x-bittorrent", false},
        {"no boundary", kUploadTarget, good, "multipart/form-data", true},
        {"other page", "/index.tmpl?d=x&local=1", good, kMultipartType, false},
    };
    for (const auto& c : cases) {
        const auto result = post(vuze.port(), c.target, c.body, c.contentType);
        ASSERT_TRUE(result) << c.fault;
        EXPECT_EQ(result->status, 400) << c.fault;
        EXPECT_EQ(vuze.lastRequest().malformed, c.malformed) << c.fault;
    }
    EXPECT_TRUE(vuze.addedTorrents().empty());
}

TEST_F(FakeVuzeTest, ServesAWebUiPageWithARelativeStylesheet) {
    auto client = clientFor(vuze.port());
    const auto page = client.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<title>Vuze Web UI</title>"), std::string::npos);
    EXPECT_NE(page->body.find("href=\"styles/vuze.css\""), std::string::npos);

    const auto stylesheet = client.Get("/styles/vuze.css");
    ASSERT_TRUE(stylesheet);
    EXPECT_EQ(stylesheet->status, 200);
}

}  // namespace
}  // namespace pelloran::fake
