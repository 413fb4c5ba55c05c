// The torrent listing reader on any page.

#include "fuzz_support.h"
#include "site/torrent_listing.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString page = fuzz::textOf(data, size);
    const QStringList history{QStringLiteral("x"), page.left(40)};
    const TorrentList rows = parseTorrentListing(page, history);
    // The fetch's reading of the same page: the same rows, or why there are none.
    const ListingOutcome outcome = readListingPage(page, history);
    fuzz::check((outcome.status == ListingStatus::Rows) == !outcome.torrents.isEmpty(),
                "rows exactly when the outcome says so");
    fuzz::check(outcome.torrents.size() == rows.size(), "both readings read the same rows");
    for (qsizetype i = 0; i < rows.size(); ++i) {
        fuzz::check(outcome.torrents[i]->name() == rows[i]->name(), "the same rows in order");
    }
    for (const TorrentPtr& t : rows) {
        const QString size = t->size().value_or(QString());
        fuzz::check(size.endsWith(QLatin1String("GB")) || size.endsWith(QLatin1String("MB")) ||
                        size.endsWith(QLatin1String("|B")),
                    "a listed size is in GB or MB");
        for (const QChar c : t->downloadUrl().value_or(QString())) {
            fuzz::check(c.unicode() > 32 && c.unicode() < 127, "a download address is escaped");
        }
        fuzz::check(t->isDownloaded() == history.contains(t->name().value_or(QString())),
                    "the history mark follows the name");
    }
    return 0;
}
