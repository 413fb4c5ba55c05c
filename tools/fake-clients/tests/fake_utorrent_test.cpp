#include "fake_utorrent.h"

#include <gtest/gtest.h>

#include <regex>

#include "client_bodies.h"

namespace pelloran::fake {
namespace {

using namespace test;

struct Handshake {
    std::string token;
    std::string guidCookie;  // "GUID=..."
};

class FakeUtorrentTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(utorrent.start()); }

    Handshake handshake() {
        const auto result = clientFor(utorrent.port()).Get("/gui/token.html");
        EXPECT_TRUE(result);
        if (!result) {
            return {};
        }
        EXPECT_EQ(result->status, 200);
        std::smatch match;
        static const std::regex page(
            "<html><div id='token' style='display:none;'>"
            "([A-Za-z0-9_-]+)</div></html>");
        EXPECT_TRUE(std::regex_match(result->body, match, page)) << result->body;
        return {match.size() > 1 ? match[1].str() : std::string(),
                result->get_header_value("Set-Cookie")};
    }

    httplib::Result addFile(const std::string& token, const std::string& cookie,
                            const QByteArray& body) {
        httplib::Headers headers;
        if (!cookie.empty()) {
            headers.emplace("Cookie", cookie);
        }
        return post(utorrent.port(), "/gui/?token=" + token + "&action=add-file", body,
                    kMultipartType, headers);
    }

    FakeUtorrent utorrent;
};

TEST_F(FakeUtorrentTest, TokenRoundTripAddsTheTorrent) {
    const Handshake first = handshake();
    const Handshake second = handshake();
    EXPECT_NE(first.token, second.token);
    EXPECT_EQ(first.token.size(), 64u);
    EXPECT_EQ(first.guidCookie.rfind("GUID=", 0), 0u);
    EXPECT_EQ(utorrent.issuedTokens(), QStringList({QString::fromStdString(first.token),
                                                    QString::fromStdString(second.token)}));

    const QByteArray filename = "Some \"name\" Ærø.torrent";
    const auto result = addFile(first.token, first.guidCookie, utorrentBody(filename, kTorrent));

    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->body, kUtorrentBuildAnswer);
    const auto added = utorrent.addedTorrents();
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].filename, filename);
    EXPECT_EQ(added[0].bytes, kTorrent);
}

TEST_F(FakeUtorrentTest, RefusesAddFileWithoutValidTokenCookieAndFile) {
    const Handshake shake = handshake();
    const Handshake other = handshake();
    const QByteArray good = utorrentBody("a.torrent", kTorrent);
    const struct {
        const char* fault;
        std::string target;
        std::string cookie;
        QByteArray body;
    } cases[] = {
        {"unknown token", "/gui/?token=not-issued&action=add-file", shake.guidCookie, good},
        {"no token", "/gui/?action=add-file", shake.guidCookie, good},
        {"no GUID cookie", "/gui/?token=" + shake.token + "&action=add-file", "", good},
        {"GUID of another token", "/gui/?token=" + shake.token + "&action=add-file",
         other.guidCookie, good},
        {"file sent as upfile_0", "/gui/?token=" + shake.token + "&action=add-file",
         shake.guidCookie, vuzeBody("a.torrent", kTorrent)},
        {"broken closing delimiter", "/gui/?token=" + shake.token + "&action=add-file",
         shake.guidCookie, QByteArray(good).replace(kBoundary + "--", kBoundary + "-")},
        {"other action", "/gui/?token=" + shake.token + "&action=add-url", shake.guidCookie, good},
    };
    for (const auto& c : cases) {
        httplib::Headers headers;
        if (!c.cookie.empty()) {
            headers.emplace("Cookie", c.cookie);
        }
        const auto result = post(utorrent.port(), c.target, c.body, kMultipartType, headers);
        ASSERT_TRUE(result) << c.fault;
        EXPECT_EQ(result->status, 400) << c.fault;
        EXPECT_EQ(result->body, kUtorrentInvalidRequest) << c.fault;
    }
    EXPECT_TRUE(utorrent.addedTorrents().empty());
}

TEST_F(FakeUtorrentTest, PageWithoutTokenElementTravelsBackAsTheToken) {
    utorrent.setOmitTokenElement(true);
    const auto page = clientFor(utorrent.port()).Get("/gui/token.html");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->body, kUtorrentPageWithoutToken);
    EXPECT_EQ(page->body.find("id='token'"), std::string::npos);

    // What a client does with such a page: the whole text goes into the URL unchanged.
    const auto result = addFile(page->body, page->get_header_value("Set-Cookie"),
                                utorrentBody("a.torrent", kTorrent));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 400);
    EXPECT_EQ(utorrent.lastRequest().target,
              "/gui/?token=" + QByteArray(kUtorrentPageWithoutToken) + "&action=add-file");
}

TEST_F(FakeUtorrentTest, ServesAWebUiPage) {
    const auto page = clientFor(utorrent.port()).Get("/gui/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<title>uTorrent Web UI</title>"), std::string::npos);
    EXPECT_NE(page->body.find("href=\"stylesheet.css\""), std::string::npos);
}

}  // namespace
}  // namespace pelloran::fake
