// The announcement answer, and the announcement address from any values.

#include "fuzz_support.h"
#include "site/announcement.h"
#include "site/site_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString text = fuzz::textOf(data, size);
    const Announcement a = parseAnnouncement(true, text);
    fuzz::check(!a.message.contains(QLatin1Char(':')), "the message ends at the next colon");
    fuzz::check(
        a.kind != Announcement::Kind::Proceed || a.message.isEmpty() ||
            !(text.startsWith(QLatin1String("STOP:")) || text.startsWith(QLatin1String("GO:"))),
        "STOP and GO are read");
    SiteConfig config;
    config.announceHost = QStringLiteral("a.example");
    const QString url = announcementUrl(config, text, text, text);
    fuzz::check(url.count(QLatin1Char('&')) == 2 && url.count(QLatin1Char('=')) == 3 &&
                    !url.contains(QLatin1Char('#')),
                "the values can't add fields");
    return 0;
}
