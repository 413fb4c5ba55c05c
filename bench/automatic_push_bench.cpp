// The automatic push's pace towards the site: one run over ten favorites pages of the demo
// tracker, pushing what a keyword accepts to a loopback fake client, at the default pace (two
// seconds between request starts) and with the pace off (what a run did before: ten pages at
// once, downloads back to back). Counters: requests to the site, requests per minute over the
// run, the most requests started within any one second, and torrents sent.

#include <benchmark/benchmark.h>

#include "demo_site.h"
#include "fake_clients.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "remote/automatic_push.h"
#include "remote/download_history.h"
#include "remote/server_info.h"
#include "remote/upload_routes.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/user_info.h"
#include "store/activity_database.h"
#include "store/settings_store.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QMap>
#include <QMutex>
#include <QTemporaryDir>

namespace {

using namespace pelloran;

constexpr int kPages = 10;

void BM_AutomaticPushRun(benchmark::State& state) {
    const std::chrono::milliseconds interval(state.range(0));
    double requests = 0;
    double perMinute = 0;
    double busiestSecond = 0;
    double sent = 0;
    for (auto _ : state) {
        state.PauseTiming();
        demo::DemoSiteOptions options;
        options.torrentCount = 400;  // more than ten pages of 25 rows
        demo::DemoSite site(options);
        fake::FakeVuze client;
        if (!site.start() || !client.start()) {
            state.SkipWithError("the demo site or the fake client did not start");
            return;
        }
        QMutex mutex;
        QMap<qint64, int> startsPerSecond;
        site.setRequestObserver([&](const demo::LoggedRequest& r) {
            if (r.host == QLatin1StringView("site")) {
                QMutexLocker lock(&mutex);
                ++startsPerSecond[QDateTime::currentMSecsSinceEpoch() / 1000];
            }
        });
        QTemporaryDir home;
        SiteConfig config = SiteConfig::buildDefaults();
        config.siteHost = site.siteHost();
        config.loginTitle = site.loginTitle();
        Session session(config.loginUrl(), config.loginTitle);
        CookieStore cookies;
        SettingsStore settings(home.path());
        UserInfo userInfo;
        ServerInfo server(settings);
        server.setClient(QStringLiteral("Vuze"));
        server.setAddress(QStringLiteral("127.0.0.1"));
        server.setPort(QString::number(client.port()));
        DownloadHistory history(settings);
        ActivityDatabase activity(home.path());
        UploadRoutes routes;
        const NetContext net{&cookies, &session};
        HttpRequest signIn(config.loginUrl(), net);
        signIn.setType(QStringLiteral("POST"));
        signIn.setPostData(signInFormBody(site.memberName(), site.memberPassword(), {}, {}));
        signIn.request();
        session.setShowLogin(true);
        AutomaticPush push({SiteContext{net, &config, &settings, &userInfo},
                            RemoteContext{net, &server, &history, nullptr, &routes},
                            &activity,
                            home.path(),
                            {}},
                           {1, kPages, interval});
        site.clearRequestLog();
        {
            QMutexLocker lock(&mutex);
            startsPerSecond.clear();
        }
        state.ResumeTiming();

        QElapsedTimer timer;
        timer.start();
        const AutomaticPushReport report = push.run({Filter(QStringLiteral("x264|FLAC"))});
        const double seconds = double(timer.elapsed()) / 1000.0;

        state.PauseTiming();
        const double count = double(site.requestLog(QStringLiteral("site")).size());
        requests += count;
        perMinute += count / seconds * 60.0;
        {
            QMutexLocker lock(&mutex);
            int most = 0;
            for (const int n : std::as_const(startsPerSecond)) {
                most = std::max(most, n);
            }
            busiestSecond += most;
        }
        sent += double(report.sent.size());
        site.setRequestObserver({});
        state.ResumeTiming();
    }
    const double runs = double(state.iterations());
    state.counters["site_requests"] = requests / runs;
    state.counters["site_requests_per_minute"] = perMinute / runs;
    state.counters["most_site_requests_in_one_second"] = busiestSecond / runs;
    state.counters["torrents_sent"] = sent / runs;
}
// The default pace, then the pace off.
BENCHMARK(BM_AutomaticPushRun)
    ->Arg(2000)
    ->Arg(0)
    ->ArgName("min_interval_ms")
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace
