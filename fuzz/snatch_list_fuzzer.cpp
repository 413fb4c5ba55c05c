// The snatch list reader on any answer.

#include "fuzz_support.h"
#include "site/snatch_list.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    for (const TorrentPtr& t : parseSnatchList(fuzz::textOf(data, size))) {
        fuzz::check(!t->detailsUrl().value_or(QString()).contains(QLatin1Char('\\')),
                    "a details path holds no backslash");
        fuzz::check(t->detailsUrl().value_or(QString()).startsWith(QLatin1String("/torrent/")),
                    "a details path is a torrent's");
        fuzz::check(t->name().has_value(), "every row has a name");
    }
    return 0;
}
