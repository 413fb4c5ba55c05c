#pragma once
// What a push or a web-interface fetch needs in a test: a settings store in a temporary home
// with the remote settings and the download history over it, a cookie store, a recording alert
// sink, and the demo site with the demo member signed in (its downloads need the session).

#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/operation_queue.h"
#include "net/session.h"
#include "recording_alert_sink.h"
#include "remote/download_history.h"
#include "remote/fetch_page_download.h"
#include "remote/fetch_page_remote_ui.h"
#include "remote/remote_context.h"
#include "remote/server_info.h"
#include "remote/upload_routes.h"
#include "store/settings_store.h"
#include "support/temp_home.h"

#include <demo_site.h>
#include <gtest/gtest.h>

#include <QObject>
#include <QTest>
#include <memory>
#include <optional>

namespace pelloran::test {

// The outcome of one operation: what it delivered and the alerts it raised.
struct Outcome {
    bool delivered = false;
    std::optional<QString> result;
    std::vector<Alert> alerts;
};

class RemoteFixture : public ::testing::Test {
protected:
    // Starts the demo site and signs the demo member in.
    void startSite() {
        ASSERT_TRUE(site.start());
        session = std::make_unique<Session>(site.loginUrl(), site.loginTitle());
        HttpRequest signIn(site.loginUrl(), net());
        signIn.setType(QStringLiteral("POST"));
        signIn.setPostData(QStringLiteral("username=") + site.memberName() +
                           QStringLiteral("&password=") + site.memberPassword());
        signIn.request();
        bool signedIn = false;
        for (const Cookie& c : cookies.cookies()) {
            signedIn = signedIn || c.name == QLatin1StringView("pelloran_session");
        }
        ASSERT_TRUE(signedIn) << "the demo site did not open a session";
    }

    NetContext net() { return NetContext{&cookies, session.get()}; }
    RemoteContext remote() {
        return RemoteContext{net(), &serverInfo, &history, &alerts, &uploadRoutes};
    }

    void useClient(const QString& name, const QString& address, int port,
                   const QString& user = QString(), const QString& password = QString()) {
        serverInfo.setClient(name);
        serverInfo.setAddress(address);
        serverInfo.setPort(QString::number(port));
        serverInfo.setUsername(user);
        serverInfo.setPassword(password);
    }

    // The names of the shared store's cookies, sorted: a client's session must never be there.
    QStringList cookieNames() const {
        QStringList names;
        for (const Cookie& c : cookies.cookies()) {
            names.append(c.name);
        }
        names.sort();
        return names;
    }

    // The address a list screen builds for a torrent's download link.
    QString torrentUrl(const demo::DemoTorrent& t, const QString& fileName = QString()) const {
        return site.siteUrl(QStringLiteral("/download/") + QString::number(t.id) +
                            QLatin1Char('/') +
                            (fileName.isEmpty() ? QStringLiteral("file.torrent") : fileName));
    }

    // Runs the operation on a queue of its own and waits for its delivery.
    template <typename MakeOperation>
    Outcome run(MakeOperation make) {
        alerts.clear();
        OperationQueue queue(1);
        QObject context;
        Outcome outcome;
        queue.addOperation(make(&context, [&outcome](std::optional<QString> result) {
            outcome.delivered = true;
            outcome.result = std::move(result);
        }));
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.delivered; }, 90000))
            << "the operation delivered nothing";
        outcome.alerts = alerts.alerts();
        return outcome;
    }

    Outcome push(const QString& url, const QString& name) {
        return run([&](QObject* context, FetchPageDownload::Callback callback) {
            return std::make_unique<FetchPageDownload>(url, name, remote(), context,
                                                       std::move(callback));
        });
    }
    Outcome push(const demo::DemoTorrent& t) { return push(torrentUrl(t), t.name); }

    Outcome fetchRemoteUi(bool isConnectionTest) {
        return run([&](QObject* context, FetchPageRemoteUI::Callback callback) {
            return std::make_unique<FetchPageRemoteUI>(remote(), isConnectionTest, context,
                                                       std::move(callback));
        });
    }

    TempHome home;
    SettingsStore store{home.path()};
    ServerInfo serverInfo{store};
    DownloadHistory history{store};
    CookieStore cookies;
    std::unique_ptr<Session> session = std::make_unique<Session>(
        QStringLiteral("http://127.0.0.1:9/user/account/login/"), QStringLiteral("Login"));
    RecordingAlertSink alerts;
    UploadRoutes uploadRoutes;
    demo::DemoSite site{demo::DemoSiteOptions{40, 25, 7, QStringLiteral("Login :: Demo"), 0}};
};

}  // namespace pelloran::test
