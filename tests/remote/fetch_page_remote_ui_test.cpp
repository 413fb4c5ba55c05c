// The client's web interface fetch, in its two roles: the "Remote UI" tab and the connection
// test of the remote settings.

#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "text/qstring_printer.h"

#include <fake_clients.h>
#include <gtest/gtest.h>

namespace pelloran {
namespace {

class RemoteUiTest : public test::RemoteFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(utorrent.start());
        ASSERT_TRUE(vuze.start());
        utorrent.setCredentials(QStringLiteral("admin"), QStringLiteral("p/w@1"));
        useClient(QStringLiteral("Utorrent"), QStringLiteral("127.0.0.1"), utorrent.port(),
                  QStringLiteral("admin"), QStringLiteral("p/w@1"));
    }

    fake::FakeUtorrent utorrent;
    fake::FakeVuze vuze;
};

TEST_F(RemoteUiTest, ReachableClientSucceedsAndAlertsOnlyInTheTestRole) {
    const test::Outcome tested = fetchRemoteUi(true);
    ASSERT_TRUE(tested.result.has_value());
    EXPECT_TRUE(tested.result->contains(QLatin1StringView(fake::kUtorrentWebUiTitle)));
    EXPECT_EQ(tested.alerts, std::vector<Alert>{remote_alerts::connectionTestSucceeded()});

    const std::vector<fake::ReceivedRequest> requests = utorrent.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].target, QByteArray("/gui/token.html"));  // the handshake runs first
    EXPECT_EQ(requests[1].method, QByteArray("GET"));
    EXPECT_EQ(requests[1].target, QByteArray("/gui/"));
    EXPECT_EQ(requests[1].header("Keep-Alive"), QByteArray("115"));
    EXPECT_EQ(requests[1].status, 200);  // the fake checked the credentials

    const test::Outcome tab = fetchRemoteUi(false);
    EXPECT_TRUE(tab.result.has_value());
    EXPECT_TRUE(tab.alerts.empty());
}

TEST_F(RemoteUiTest, OperationAddressIsTheWebInterfaceWithCredentials) {
    QObject context;
    FetchPageRemoteUI withUser(remote(), false, &context, {});
    const QString expected =
        QStringLiteral("http://admin:p/w@1@127.0.0.1:%1/gui/").arg(utorrent.port());
    EXPECT_TRUE(withUser.url() == expected) << "not the web interface address with credentials";

    serverInfo.setUsername(QString());
    FetchPageRemoteUI withoutUser(remote(), false, &context, {});
    EXPECT_EQ(withoutUser.url(), QStringLiteral("http://127.0.0.1:%1/gui/").arg(utorrent.port()));

    serverInfo.setClient(QStringLiteral("BitComet"));
    FetchPageRemoteUI none(remote(), false, &context, {});
    EXPECT_EQ(none.url(), QString());
}

TEST_F(RemoteUiTest, ClientThatSignsInOnItsOwnPageIsTestedBySigningIn) {
    fake::FakeQBittorrent qbt;
    qbt.setLogin(QStringLiteral("admin"), QStringLiteral("p/w@1"));
    ASSERT_TRUE(qbt.start());
    useClient(QStringLiteral("qBittorrent"), QStringLiteral("127.0.0.1"), qbt.port(),
              QStringLiteral("admin"), QStringLiteral("p/w@1"));
    QObject context;
    // The credentials are for its sign-in form, not for the address.
    EXPECT_EQ(FetchPageRemoteUI(remote(), false, &context, {}).url(),
              QStringLiteral("http://127.0.0.1:%1/").arg(qbt.port()));

    const test::Outcome tested = fetchRemoteUi(true);
    ASSERT_TRUE(tested.result.has_value());
    EXPECT_TRUE(tested.result->contains(QLatin1StringView(fake::kQBittorrentWebUiTitle)));
    EXPECT_EQ(tested.alerts, std::vector<Alert>{remote_alerts::connectionTestSucceeded()});

    // The page answers whatever the password: the refused sign-in is what fails the test.
    serverInfo.setPassword(QStringLiteral("wrong"));
    for (const bool isTest : {true, false}) {
        const test::Outcome outcome = fetchRemoteUi(isTest);
        EXPECT_TRUE(outcome.result.has_value());
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    }
    for (const fake::ReceivedRequest& r : qbt.requests()) {
        EXPECT_FALSE(r.hasHeader("Authorization")) << r.target.toStdString();
    }
}

TEST_F(RemoteUiTest, FailuresAlertInBothRoles) {
    const struct {
        const char* label;
        std::function<void()> arrange;
        bool pageExpected;  // the client answered with an error page
    } cases[] = {
        {"wrong password", [this] { serverInfo.setPassword(QStringLiteral("wrong")); }, true},
        {"client down", [this] { utorrent.stop(); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        c.arrange();
        for (const bool isTest : {true, false}) {
            const test::Outcome outcome = fetchRemoteUi(isTest);
            EXPECT_TRUE(outcome.delivered);
            EXPECT_EQ(outcome.result.has_value(), c.pageExpected);
            EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
        }
    }
}

TEST_F(RemoteUiTest, NoClientChosenFailsWithoutARequest) {
    for (const QString& name : {QString(), QStringLiteral("utorrent")}) {
        serverInfo.setClient(name);
        const test::Outcome outcome = fetchRemoteUi(true);
        EXPECT_EQ(outcome.result, std::nullopt);
        EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionFailed()});
    }
    EXPECT_TRUE(utorrent.requests().empty());
}

TEST_F(RemoteUiTest, SettingsAreReadAtEveryFetch) {
    EXPECT_TRUE(fetchRemoteUi(false).result.has_value());
    useClient(QStringLiteral("Vuze"), QStringLiteral("127.0.0.1"), vuze.port());
    const test::Outcome outcome = fetchRemoteUi(true);
    ASSERT_TRUE(outcome.result.has_value());
    EXPECT_TRUE(outcome.result->contains(QLatin1StringView(fake::kVuzeWebUiTitle)));
    EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::connectionTestSucceeded()});
    ASSERT_EQ(vuze.requests().size(), 1u);
    EXPECT_FALSE(vuze.lastRequest().hasHeader("Authorization"));
}

}  // namespace
}  // namespace pelloran
