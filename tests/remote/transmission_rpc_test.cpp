// The Transmission push against a scripted server: when the upload is refused the same file
// goes through RPC torrent-add, the session-id handshake is repeated once on 409, and only a
// "success" result counts. Also: a site that doesn't answer never reaches the client.

#include "remote/transmission_rpc.h"
#include "remote/remote_alerts.h"
#include "remote_fixture.h"
#include "support/test_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>

namespace pelloran {
namespace {

struct RpcAnswer {
    int status;
    std::string sessionId;  // sent in X-Transmission-Session-Id when not empty
    std::string body;
};

struct RpcCase {
    const char* label;
    std::string handshakeId;  // "" : the handshake's answer has no session-id header
    int uploadStatus;
    std::vector<RpcAnswer> rpcAnswers;  // one per RPC request, in order
    bool pushed;
    size_t rpcRequests;
};

void PrintTo(const RpcCase& c, std::ostream* os) {
    *os << c.label;
}

const std::string kSuccess = R"({"arguments":{"torrent-added":{"id":1}},"result":"success"})";

class TransmissionRpcTest : public test::RemoteFixture,
                            public ::testing::WithParamInterface<RpcCase> {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(startSite());
        const RpcCase& c = GetParam();
        httplib::Server& s = client.server();
        s.Get("/transmission/rpc",
              [id = c.handshakeId](const httplib::Request&, httplib::Response& res) {
                  res.status = 409;
                  if (!id.empty()) {
                      res.set_header("X-Transmission-Session-Id", id);
                  }
              });
        s.Post("/transmission/upload",
               [status = c.uploadStatus](const httplib::Request&, httplib::Response& res) {
                   res.status = status;
                   res.set_content("<h1>answer</h1>", "text/html");
               });
        s.Post("/transmission/rpc",
               [this, answers = c.rpcAnswers](const httplib::Request&, httplib::Response& res) {
                   const size_t i = std::min(rpcCount_++, answers.size() - 1);
                   res.status = answers[i].status;
                   if (!answers[i].sessionId.empty()) {
                       res.set_header("X-Transmission-Session-Id", answers[i].sessionId);
                   }
                   res.set_content(answers[i].body, "application/json");
               });
        ASSERT_TRUE(client.start());
        useClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), client.port(),
                  QStringLiteral("tr-user"), QStringLiteral("tr-pass"));
    }

    std::vector<test::RecordedRequest> rpcPosts() const {
        std::vector<test::RecordedRequest> out;
        for (const test::RecordedRequest& r : client.requests()) {
            if (r.method == "POST" && r.path == "/transmission/rpc") {
                out.push_back(r);
            }
        }
        return out;
    }

    test::TestServer client;
    std::atomic<size_t> rpcCount_{0};
};

TEST_P(TransmissionRpcTest, RefusedUploadGoesThroughRpc) {
    const RpcCase& c = GetParam();
    const demo::DemoTorrent& t = site.torrents().at(2);
    const test::Outcome outcome = push(t);

    EXPECT_EQ(outcome.result, c.pushed ? std::optional<QString>(t.name) : std::nullopt);
    EXPECT_EQ(outcome.alerts, c.pushed ? std::vector<Alert>{}
                                       : std::vector<Alert>{remote_alerts::connectionFailed()});
    EXPECT_EQ(history.entries(), c.pushed ? QStringList{t.name} : QStringList{});

    const std::vector<test::RecordedRequest> requests = client.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");  // the handshake
    EXPECT_EQ(requests[1].target, "/transmission/upload?paused=false");
    // The session id goes up as a form field, empty when the handshake brought none.
    const std::string idField =
        "name=\"X-Transmission-Session-Id\"\r\n\r\n" + c.handshakeId + "\r\n--";
    EXPECT_NE(requests[1].body.find(idField), std::string::npos);

    const std::vector<test::RecordedRequest> rpc = rpcPosts();
    ASSERT_EQ(rpc.size(), c.rpcRequests);
    const std::string auth = "Basic " + QByteArray("tr-user:tr-pass").toBase64().toStdString();
    for (size_t i = 0; i < rpc.size(); ++i) {
        SCOPED_TRACE(i);
        // The first RPC carries the handshake's id, a repeat the id of the 409 before it.
        const std::string expectedId = i == 0 ? c.handshakeId : c.rpcAnswers[i - 1].sessionId;
        EXPECT_EQ(rpc[i].header("X-Transmission-Session-Id"), expectedId);
        EXPECT_EQ(rpc[i].hasHeader("X-Transmission-Session-Id"), !expectedId.empty());
        EXPECT_TRUE(rpc[i].header("Authorization") == auth) << "RPC without the credentials";
        const QJsonObject body =
            QJsonDocument::fromJson(QByteArray::fromStdString(rpc[i].body)).object();
        EXPECT_EQ(body.value(QStringLiteral("method")).toString(), QStringLiteral("torrent-add"));
        const QJsonObject args = body.value(QStringLiteral("arguments")).toObject();
        EXPECT_EQ(
            QByteArray::fromBase64(args.value(QStringLiteral("metainfo")).toString().toLatin1()),
            t.torrentFile);
        EXPECT_TRUE(args.value(QStringLiteral("paused")).isBool());
        EXPECT_FALSE(args.value(QStringLiteral("paused")).toBool(true));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, TransmissionRpcTest,
    ::testing::Values(
        // Transmission 3: the upload address with a query string always answers 409.
        RpcCase{"UploadRefusedRpcSucceeds", "sid-1", 409, {{200, "", kSuccess}}, true, 1},
        RpcCase{"RpcWantsANewSessionIdOnce",
                "sid-1",
                409,
                {{409, "sid-2", "<h1>409</h1>"}, {200, "", kSuccess}},
                true,
                2},
        RpcCase{"RpcErrorWithStatus200",
                "sid-1",
                409,
                {{200, "", R"({"arguments":{},"result":"duplicate torrent"})"}},
                false,
                1},
        RpcCase{"RpcAnswerNotJson", "sid-1", 409, {{200, "", "<html>ok</html>"}}, false, 1},
        RpcCase{"RpcKeepsAnswering409",
                "sid-1",
                409,
                {{409, "sid-2", ""}, {409, "sid-3", ""}},
                false,
                2},
        RpcCase{"RpcSuccessWithErrorStatus", "sid-1", 500, {{500, "", kSuccess}}, false, 1},
        // An accepted upload is judged by its status alone: no RPC, whatever the body says.
        RpcCase{"UploadAccepted", "sid-1", 200, {{500, "", ""}}, true, 0},
        // No id from the handshake: the upload still goes up and decides by its status...
        RpcCase{"NoSessionIdUploadAccepted", "", 200, {{500, "", ""}}, true, 0},
        // ... and a refused one reaches RPC, which learns the id from its first 409.
        RpcCase{
            "NoSessionIdRpcLearnsIt", "", 409, {{409, "sid-2", ""}, {200, "", kSuccess}}, true, 2}),
    [](const ::testing::TestParamInfo<RpcCase>& info) { return std::string(info.param.label); });

TEST(TransmissionRpcAnswer, OnlyResultSuccessCounts) {
    EXPECT_TRUE(isRpcSuccess(R"({"arguments":{},"result":"success"})"));
    EXPECT_FALSE(isRpcSuccess(R"({"result":"Success"})"));
    EXPECT_FALSE(isRpcSuccess(R"({"result":"duplicate torrent"})"));
    EXPECT_FALSE(isRpcSuccess(R"(["success"])"));
    EXPECT_FALSE(isRpcSuccess(""));

    const struct {
        const char* answer;
        PushOutcome outcome;
    } cases[] = {
        {R"({"arguments":{"torrent-added":{"id":1}},"result":"success"})", PushOutcome::Sent},
        {R"({"arguments":{"torrent-duplicate":{"id":1}},"result":"success"})",
         PushOutcome::AlreadyThere},
        // Named a duplicate, but not a success: nothing to count on.
        {R"({"arguments":{"torrent-duplicate":{"id":1}},"result":"invalid"})",
         PushOutcome::Refused},
        {R"({"result":"duplicate torrent"})", PushOutcome::Refused},
        // A success that names no torrent says nothing about this one.
        {R"({"arguments":{},"result":"success"})", PushOutcome::Refused},
        {R"({"result":"success"})", PushOutcome::Refused},
        {"", PushOutcome::Refused},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(torrentAddOutcome(c.answer).outcome, c.outcome) << c.answer;
    }
}

class UploadRouteTest : public test::RemoteFixture {};

TEST_F(UploadRouteTest, AServerThatTakesUploadsKeepsBeingSentUploads) {
    ASSERT_NO_FATAL_FAILURE(startSite());
    test::TestServer client;
    client.server().Get("/transmission/rpc", [](const httplib::Request&, httplib::Response& res) {
        res.status = 409;
        res.set_header("X-Transmission-Session-Id", "sid-1");
    });
    client.server().Post("/transmission/upload",
                         [](const httplib::Request&, httplib::Response& res) {
                             res.set_content("<h1>200: OK</h1>", "text/html");
                         });
    client.server().Post("/transmission/rpc", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(kSuccess, "application/json");
    });
    ASSERT_TRUE(client.start());
    useClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), client.port());
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(push(site.torrents().at(size_t(i))).result.has_value());
    }
    size_t uploads = 0;
    size_t rpcPosts = 0;
    for (const test::RecordedRequest& r : client.requests()) {
        uploads += r.method == "POST" && r.path == "/transmission/upload";
        rpcPosts += r.method == "POST" && r.path == "/transmission/rpc";
    }
    EXPECT_EQ(uploads, 3u);
    EXPECT_EQ(rpcPosts, 0u);
}

class SiteDownTest : public test::RemoteFixture {};

TEST_F(SiteDownTest, ClientGetsNoRequestWhenTheSiteDoesNotAnswer) {
    ASSERT_NO_FATAL_FAILURE(startSite());
    test::TestServer client;
    ASSERT_TRUE(client.start());
    useClient(QStringLiteral("Transmission"), QStringLiteral("127.0.0.1"), client.port());
    const demo::DemoTorrent t = site.torrents().at(0);
    const QString url = torrentUrl(t);
    site.stop();
    const test::Outcome outcome = push(url, t.name);
    EXPECT_EQ(outcome.result, std::nullopt);
    EXPECT_EQ(outcome.alerts, std::vector<Alert>{remote_alerts::websiteProblem()});
    EXPECT_EQ(client.requestCount(), 0u);
    EXPECT_TRUE(history.entries().isEmpty());
}

}  // namespace
}  // namespace pelloran
