// Only a torrent file reaches the member's client: the download from the site must come with a
// status of 200..299 and be a bencoded dictionary. Error pages never go up, and the login page
// of an expired session is a lost session like on any page: re-login, then the file.

#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "site/session_renewer.h"
#include "site/sign_in.h"
#include "site/user_info.h"
#include "support/demo_fixture.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

namespace pelloran {
namespace {

class TorrentDownloadTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startSite());
        // A client that takes whatever it is sent, as a lenient web interface does.
        client.server().Post(".*", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>ok</html>", "text/html");
        });
        ASSERT_TRUE(client.start());
        useClient(QStringLiteral("Vuze"), QStringLiteral("127.0.0.1"), client.port());
    }

    void expectNothingSent(const test::Outcome& outcome, const QStringList& history = {}) {
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::websiteProblem()});
        EXPECT_EQ(client.requestCount(), 0u);
        EXPECT_EQ(this->history.entries(), history);
    }

    // The file body of the one upload the client received.
    bool clientReceived(const QByteArray& file) {
        const std::vector<test::RecordedRequest> got = client.requests();
        return got.size() == 1 && got[0].body.find(file.toStdString()) != std::string::npos;
    }

    test::TestServer client;
};

TEST_F(TorrentDownloadTest, OnlyABencodedDictionaryWithAGoodStatusIsPushed) {
    const std::string torrent = "d8:announce9:http://x/4:infod4:name1:xee";
    test::TestServer files;
    struct Answer {
        const char* path;
        int status;
        std::string body;
        bool pushed;
    };
    const Answer answers[] = {
        {"/ok.torrent", 200, torrent, true},
        {"/missing.torrent", 404, torrent, false},  // a 404 whatever its body
        {"/error.torrent", 500, "<html>Internal error</html>", false},
        {"/page.torrent", 200, "<html><title>Not found</title></html>", false},
        {"/empty.torrent", 200, "", false},
        {"/list.torrent", 200, "l4:spame", false},  // bencoded, but not a dictionary
    };
    for (const Answer& a : answers) {
        files.server().Get(a.path, [&a](const httplib::Request&, httplib::Response& res) {
            res.status = a.status;
            res.set_content(a.body, "application/x-bittorrent");
        });
    }
    ASSERT_TRUE(files.start());
    for (const Answer& a : answers) {
        SCOPED_TRACE(a.path);
        client.clearRequests();
        const QString name = QString::fromLatin1(a.path);
        const test::Outcome outcome = push(files.url(name), name);
        if (a.pushed) {
            EXPECT_EQ(outcome.result, std::optional<QString>(name));
            EXPECT_TRUE(outcome.alerts.empty());
            EXPECT_TRUE(clientReceived(QByteArray::fromStdString(torrent)));
        } else {
            expectNothingSent(outcome, {QStringLiteral("/ok.torrent")});
        }
    }
}

TEST_F(TorrentDownloadTest, ExpiredSessionSignsInAgainAndFetchesTheFile) {
    const SiteConfig config = test::configFor(site);
    UserInfo userInfo;
    const SiteContext siteContext{net(), &config, &store, &userInfo};
    storeCredentials(store, site.memberName(), site.memberPassword(), true);
    session->setShowLogin(true);  // the main interface is on screen
    SessionRenewer renewer(siteContext, [](const SignInVerdict&) {});
    renewer.install();

    const demo::DemoTorrent& t = site.torrents().at(4);
    site.expireAllSessions();
    const test::Outcome outcome = push(t);
    EXPECT_EQ(outcome.result, std::optional<QString>(t.name));
    EXPECT_TRUE(outcome.alerts.empty());
    EXPECT_EQ(session->reloginCount(), 1);
    EXPECT_TRUE(clientReceived(t.torrentFile));
    EXPECT_EQ(history.entries(), QStringList{t.name});
}

TEST_F(TorrentDownloadTest, LoginPageThatCannotBeRenewedIsNeverPushed) {
    const demo::DemoTorrent& t = site.torrents().at(4);
    site.expireAllSessions();

    // The login face is showing: the login page is just the answer, and not a torrent.
    expectNothingSent(push(t));

    // The main interface shows, but the stored credentials no longer sign in.
    const SiteConfig config = test::configFor(site);
    UserInfo userInfo;
    const SiteContext siteContext{net(), &config, &store, &userInfo};
    storeCredentials(store, site.memberName(), QStringLiteral("changed"), true);
    session->setShowLogin(true);
    SessionRenewer renewer(siteContext, [this](const SignInVerdict&) { session->abandonWaits(); });
    renewer.install();
    expectNothingSent(push(t));
    EXPECT_EQ(session->reloginCount(), 1);
}

}  // namespace
}  // namespace pelloran
