// Details and profile pages cut down for the web views, on any page.

#include "fuzz_support.h"
#include "site/page_rewriting.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString page = fuzz::textOf(data, size);
    const RewrittenDetails details = rewriteDetailsPage(page, QStringLiteral("www.imdb.com"));
    fuzz::check(details.page.size() <= page.size(), "cutting never adds text");
    if (details.imdb) {
        fuzz::check(details.imdb->startsWith(QLatin1String("http://www.imdb.com/")) &&
                        !details.imdb->contains(QLatin1Char('"')) &&
                        !details.imdb->contains(QLatin1Char('\'')),
                    "the movie link is the movie database's, one attribute value");
    }
    const QString profile = rewriteProfilePage(page);
    fuzz::check(profile == kProfileErrorPage || profile.size() <= page.size(),
                "a profile is cut or the error page");
    if (const auto cut = cutPage(page, QLatin1StringView("<div id=\"torrent\">"))) {
        fuzz::check(cut->block.startsWith(QLatin1String("<div id=\"torrent\">")),
                    "the block starts at its tag");
    }
    return 0;
}
