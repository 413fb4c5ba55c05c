// Text utilities under the load the page readers put on them: the listing row pattern over a
// whole listing page (with and without the compiled-pattern cache), the page-title test, and
// HTML unescaping of a large text. Also shows how close a real page comes to the regex work
// budget and how long a run-away match takes to be cut off.

#include <benchmark/benchmark.h>

#include <QString>

#include "text/listing_fixture.h"
#include "text/regex.h"
#include "text/string_helpers.h"

namespace {

using namespace pelloran::text;

const QString& listingPage() {
    static const QString page = fixture::listingPage(100, true);
    return page;
}

// The smallest budget (in engine steps) under which the page still parses completely.
int stepsNeeded(const QString& page, const QString& pattern, qsizetype expectedRows) {
    int low = 1;
    int high = 1;
    auto parses = [&](int budget) {
        setRegexStepBudget(budget);
        return arrayOfCaptureComponentsMatchedByRegex(page, pattern).size() == expectedRows;
    };
    while (!parses(high)) {
        low = high + 1;
        high *= 2;
    }
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (parses(mid)) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    setRegexStepBudget(0);
    return high;
}

void BM_ListingPage(benchmark::State& state) {
    const QString& page = listingPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern));
    }
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
    state.counters["page_kB"] = double(page.size()) / 1000;
    state.counters["budget_steps_needed"] = stepsNeeded(page, fixture::kListingRowPattern, 100);
    state.counters["default_budget"] = kDefaultRegexStepBudget;
}
BENCHMARK(BM_ListingPage)->Unit(benchmark::kMicrosecond);

void BM_ListingPageUncached(benchmark::State& state) {
    const QString& page = listingPage();
    for (auto _ : state) {
        clearRegexCache();
        benchmark::DoNotOptimize(
            arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern));
    }
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_ListingPageUncached)->Unit(benchmark::kMicrosecond);

void BM_TitleOfListingPage(benchmark::State& state) {
    const QString& page = listingPage();
    for (auto _ : state) {
        benchmark::DoNotOptimize(captureComponentsMatchedByRegex(page, fixture::kTitlePattern));
    }
}
BENCHMARK(BM_TitleOfListingPage)->Unit(benchmark::kMicrosecond);

// A page of rows without the category image: the row pattern backtracks until the default
// budget stops it. The time per iteration is how long a hostile page holds a fetch thread.
void BM_RunawayListingPageBounded(benchmark::State& state) {
    static const QString page = fixture::listingPage(100, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            arrayOfCaptureComponentsMatchedByRegex(page, fixture::kListingRowPattern));
    }
    state.counters["page_kB"] = double(page.size()) / 1000;
    state.counters["seconds_per_step"] =
        benchmark::Counter(double(state.iterations()) * kDefaultRegexStepBudget,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RunawayListingPageBounded)->Unit(benchmark::kMillisecond);

// About 100 KB of listing names and descriptions, dense with named, decimal and hexadecimal
// references and with ampersands that are not references.
void BM_UnescapeHtml100K(benchmark::State& state) {
    QString text;
    while (text.size() < 100 * 1000) {
        text += QStringLiteral(
            "Tom &amp; Jerry &#8211; &quot;Best Of&quot; &lt;1080p&gt; AT&T &#x2019;s "
            "caf&eacute; &nbsp;&hearts; a & b; ");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(stringByUnescapingFromHTML(text));
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2);
    state.counters["text_kB"] = double(text.size()) / 1000;
}
BENCHMARK(BM_UnescapeHtml100K)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
