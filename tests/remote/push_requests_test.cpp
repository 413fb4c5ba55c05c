// What a push with no push option sends to each client, byte for byte, against recordings kept
// in tests/data/push_requests: a member who never set a category, tag, save path or paused state
// must see exactly the requests the clients have always been sent. Each client is played by a
// loopback server that leads the push through its whole road (Transmission's refused upload
// and RPC fallback included). PELLORAN_RECORD_PUSH_REQUESTS=1 writes the recordings anew.

#include "remote_fixture.h"
#include "support/hostile_server.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace pelloran {
namespace {

using test::HostileRequest;
using test::HostileServer;

// A small, fixed torrent file: the same bytes in every run.
std::string torrentFile() {
    const std::string pieces(20, 'p');
    return "d8:announce24:http://127.0.0.1/announce4:infod6:lengthi1024e4:name8:demo.bin"
           "12:piece lengthi16384e6:pieces20:" +
           pieces + "ee";
}

// One request as text, the client's port written as PORT so recordings don't depend on it.
std::string describe(const HostileRequest& r, int port) {
    std::string text = r.method + " " + r.target + "\n";
    for (const auto& [name, value] : r.headers) {
        text += name + ": " + value + "\n";
    }
    text += "\n" + r.body + "\n";
    const std::string portText = std::to_string(port);
    for (size_t at = text.find(portText); at != std::string::npos;
         at = text.find(portText, at + 4)) {
        text.replace(at, portText.size(), "PORT");
    }
    return text;
}

test::Reply withCookie(test::Reply reply, const std::string& cookie) {
    reply.headers.emplace_back("Set-Cookie", cookie);
    return reply;
}

// The client's side of a push that goes through.
void playClient(HostileServer& client, const std::string& name) {
    if (name == "Transmission") {
        test::Reply conflict = test::page("<html>409</html>", 409);
        conflict.headers.emplace_back("X-Transmission-Session-Id", "sid-1");
        client.route("GET", "/transmission/rpc", conflict);
        client.route("POST", "/transmission/upload", test::page("<html>409</html>", 409));
        client.route("POST", "/transmission/rpc",
                     test::page(R"({"arguments":{"torrent-added":{"id":1}},"result":"success"})"));
    } else if (name == "Utorrent") {
        client.route("GET", "/gui/token.html", test::utorrentTokenPage("tok"));
        client.route("POST", "/gui/*", test::page("{}"));
    } else if (name == "Vuze") {
        client.route("POST", "/index.tmpl", test::page("<html>ok</html>"));
    } else if (name == "qBittorrent") {
        client.route("POST", "/api/v2/auth/login",
                     withCookie(test::page("Ok."), "SID=s1; HttpOnly; path=/"));
        client.route("POST", "/api/v2/torrents/add", test::page("Ok."));
    } else if (name == "Deluge") {
        client.route("POST", "/json", [](const HostileRequest& r) {
            if (r.body.find("core.add_torrent_file") != std::string::npos) {
                return test::page(R"({"result": "abc123", "error": null, "id": 3})");
            }
            return withCookie(test::page(R"({"result": true, "error": null, "id": 1})"),
                              "_session_id=d1; Path=/json");
        });
    }
}

class PushRequestsTest : public test::RemoteFixture {};

TEST_F(PushRequestsTest, APushWithNoOptionSendsTheRecordedRequests) {
    HostileServer site;
    site.route("GET", "/download/*", test::page(torrentFile()));
    ASSERT_TRUE(site.start());
    const bool recording = qEnvironmentVariableIntValue("PELLORAN_RECORD_PUSH_REQUESTS") == 1;
    const QDir folder(QStringLiteral(PELLORAN_TEST_DATA_DIR "/push_requests"));
    for (const char* name : {"Vuze", "Transmission", "Utorrent", "qBittorrent", "Deluge"}) {
        SCOPED_TRACE(name);
        HostileServer client;
        playClient(client, name);
        ASSERT_TRUE(client.start());
        useClient(QString::fromLatin1(name), QStringLiteral("127.0.0.1"), client.port(),
                  QStringLiteral("member"), QStringLiteral("pa ss"));

        const test::Outcome outcome =
            push(site.url(QStringLiteral("/download/7/demo.torrent")), QStringLiteral("Demo"));
        EXPECT_EQ(outcome.result, std::optional<QString>(QStringLiteral("Demo")));
        std::string sent;
        for (const HostileRequest& r : client.requests()) {
            sent += describe(r, client.port()) + "----\n";
        }
        QFile file(folder.filePath(QString::fromLatin1(name) + QStringLiteral(".txt")));
        if (recording) {
            ASSERT_TRUE(folder.exists() || QDir().mkpath(folder.path()));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QByteArray::fromStdString(sent));
            continue;
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
        EXPECT_EQ(sent, file.readAll().toStdString());
    }
}

}  // namespace
}  // namespace pelloran
