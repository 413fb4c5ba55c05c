// Connections a favorites scan opens: ten listing pages fetched at once on the favorites
// queue's width, scanned twice in one process against the demo tracker. The counters are the
// connections each scan opened (client ends the site's request log had not seen before).

#include <benchmark/benchmark.h>

#include "demo_site.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/operation_queue.h"
#include "net/page_order.h"
#include "net/session.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/torrent_listing.h"
#include "site/user_info.h"

#include <QEventLoop>
#include <QSet>

namespace {

using namespace pelloran;

constexpr int kPages = 10;

// Runs one scan of kPages favorites pages and answers how many rows arrived.
qsizetype scan(const SiteContext& site) {
    OperationQueue queue(kPages);
    auto order = std::make_shared<PageOrder>(1, kPages);
    QEventLoop loop;
    QObject context;
    int arrived = 0;
    qsizetype rows = 0;
    for (int page = 1; page <= kPages; ++page) {
        auto op = std::make_unique<FetchPageAllTorrents>(
            favoritesUrl(*site.config, page), site, &context, [&](const ListingOutcome& outcome) {
                rows += outcome.torrents.size();
                if (++arrived == kPages) {
                    loop.quit();
                }
            });
        op->setPageOrder(order, page, page == 1 ? std::nullopt : std::optional<int>(page - 1));
        queue.addOperation(std::move(op));
    }
    if (arrived < kPages) {
        loop.exec();
    }
    return rows;
}

// Connections opened since `firstEntry` of the site's log: client ends not seen before it.
int connectionsOpenedSince(const demo::DemoSite& site, size_t firstEntry) {
    const std::vector<demo::LoggedRequest> log = site.requestLog(QStringLiteral("site"));
    QSet<QString> before;
    QSet<QString> opened;
    for (size_t i = 0; i < log.size(); ++i) {
        if (i < firstEntry) {
            before.insert(log[i].peer);
        } else if (!before.contains(log[i].peer)) {
            opened.insert(log[i].peer);
        }
    }
    return int(opened.size());
}

void BM_FavoritesScanTwice(benchmark::State& state) {
    demo::DemoSiteOptions options;
    options.torrentCount = 400;  // more than ten pages of 25 rows
    demo::DemoSite site(options);
    if (!site.start()) {
        state.SkipWithError("the demo site did not start");
        return;
    }
    SiteConfig config = SiteConfig::buildDefaults();
    config.siteHost = site.siteHost();
    config.loginTitle = site.loginTitle();
    Session session(config.loginUrl(), config.loginTitle);
    UserInfo userInfo;
    double first = 0;
    double second = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CookieStore cookies;  // a fresh process: no connection open yet
        const SiteContext ctx{NetContext{&cookies, &session}, &config, nullptr, &userInfo};
        HttpRequest signIn(config.loginUrl(), ctx.net);
        signIn.setType(QStringLiteral("POST"));
        signIn.setPostData(signInFormBody(site.memberName(), site.memberPassword(), {}, {}));
        signIn.request();
        state.ResumeTiming();

        size_t mark = site.requestLog(QStringLiteral("site")).size();
        benchmark::DoNotOptimize(scan(ctx));
        first += connectionsOpenedSince(site, mark);
        mark = site.requestLog(QStringLiteral("site")).size();
        benchmark::DoNotOptimize(scan(ctx));
        second += connectionsOpenedSince(site, mark);
    }
    state.counters["connections_first_scan"] = first / double(state.iterations());
    state.counters["connections_second_scan"] = second / double(state.iterations());
}
BENCHMARK(BM_FavoritesScanTwice)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
