// Page readers on real pages from the demo tracker: a 100-row listing page and a 50-row snatch
// list, fetched once, then parsed repeatedly. Each reader is paired with ICU's bare find loop
// for its row pattern over the same text (find and find-next, nothing read out): the floor
// that any reader using that pattern stands on, so the ratio shows what reading costs on top.

#include <benchmark/benchmark.h>

#include "demo_site.h"
#include "net/cookie_store.h"
#include "net/http_request.h"
#include "net/session.h"
#include "site/sign_in.h"
#include "site/site_config.h"
#include "site/site_urls.h"
#include "site/snatch_list.h"
#include "site/torrent_listing.h"
#include "store/settings_store.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <QTemporaryDir>
#include <memory>

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

icu::UnicodeString unicode(const QString& text) {
    return icu::UnicodeString(reinterpret_cast<const UChar*>(text.utf16()),
                              static_cast<int32_t>(text.size()));
}

// Compiles `pattern` once and runs find / find-next over `subject` on every iteration.
void bareFindLoop(benchmark::State& state, const QString& subject, const QString& pattern) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    std::unique_ptr<icu::RegexPattern> compiled(
        icu::RegexPattern::compile(unicode(pattern), 0, parseError, status));
    if (U_FAILURE(status)) {
        state.SkipWithError("pattern does not compile");
        return;
    }
    const icu::UnicodeString text = unicode(subject);
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(status));
    int64_t matches = 0;
    for (auto _ : state) {
        matcher->reset(text);
        while (matcher->find(status)) {
            ++matches;
        }
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = double(matches) / double(state.iterations());
}

void BM_ListingBareFindLoop(benchmark::State& state) {
    bareFindLoop(state, pages().listing, kTorrentRowPattern);
    state.counters["page_kB"] = double(pages().listing.size()) / 1000;
}
BENCHMARK(BM_ListingBareFindLoop)->Unit(benchmark::kMicrosecond);

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

void BM_SnatchBareFindLoop(benchmark::State& state) {
    bareFindLoop(state, pages().snatch, kSnatchRowPattern);
    state.counters["text_kB"] = double(pages().snatch.size()) / 1000;
}
BENCHMARK(BM_SnatchBareFindLoop)->Unit(benchmark::kMicrosecond);

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
