// Page readers on real pages from the demo tracker: a 100-row listing page and a 50-row snatch
// list, fetched once, then parsed repeatedly.

#include <benchmark/benchmark.h>

#include "store/settings_store.h"
#include "demo_site.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"

#include <QCoreApplication>
#include <QTemporaryDir>

namespace {

using namespace pelloran;

struct Pages {
    QString listing;
    QString snatch;
    qsizetype listingRows = 0;
    qsizetype snatchRows = 0;
};

const Pages& pages() {
    static const Pages p = [] {
        demo::DemoSiteOptions options;
        options.rowsPerPage = 100;
        demo::DemoSite site(options);
        site.start();
        SiteConfig config = SiteConfig::buildDefaults();
        config.siteHost = site.siteHost();
        config.loginTitle = site.loginTitle();
        CookieStore cookies;
        Session session(config.loginUrl(), config.loginTitle);
        NetContext net{&cookies, &session};

        HttpRequest signIn(config.loginUrl(), net);
        signIn.setType(QStringLiteral("POST"));
        signIn.setPostData(signInFormBody(site.memberName(), site.memberPassword(), {}, {}));
        signIn.request();

        QTemporaryDir home;
        SettingsStore settings(home.path());
        HttpRequest listing(browseUrl(config, settings, 1), net);
        listing.request();
        HttpRequest snatch(snatchListUrl(config), net);
        snatch.setType(QStringLiteral("POST"));
        snatch.setPostData(snatchListBody(site.memberId()));
        snatch.request();

        Pages out;
        out.listing = listing.result().value_or(QString());
        out.snatch = snatch.result().value_or(QString());
        out.listingRows = parseTorrentListing(out.listing, {}).size();
        out.snatchRows = parseSnatchList(out.snatch).size();
        return out;
    }();
    return p;
}

void BM_ParseListingPage(benchmark::State& state) {
    const Pages& p = pages();
    const QStringList history{QStringLiteral("not on the page"), QStringLiteral("nor this")};
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseTorrentListing(p.listing, history));
    }
    state.counters["rows"] = double(p.listingRows);
    state.counters["page_kB"] = double(p.listing.size()) / 1000;
}
BENCHMARK(BM_ParseListingPage)->Unit(benchmark::kMicrosecond);

void BM_ParseSnatchList(benchmark::State& state) {
    const Pages& p = pages();
    for (auto _ : state) {
        benchmark::DoNotOptimize(parseSnatchList(p.snatch));
    }
    state.counters["rows"] = double(p.snatchRows);
    state.counters["text_kB"] = double(p.snatch.size()) / 1000;
}
BENCHMARK(BM_ParseSnatchList)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
