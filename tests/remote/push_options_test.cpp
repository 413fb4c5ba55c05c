// Push options as values: how defaults, routes and overrides combine, what a client is asked,
// what is stored; the automatic push's caps and the sizes and counts they read from listings.

#include "remote/push_options.h"
#include "remote/automatic_push_caps.h"
#include "remote/filter_routes.h"
#include "remote/server_info.h"
#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "support/temp_home.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QJsonObject>

namespace pelloran {
namespace {

PushOptions options(std::optional<QString> category, std::optional<QStringList> tags = {},
                    std::optional<QString> savePath = {}, std::optional<bool> paused = {}) {
    return PushOptions{std::move(category), std::move(tags), std::move(savePath), paused};
}

TEST(PushOptionsTest, OverridesTakeThePlaceOfDefaultsFieldByField) {
    const PushOptions defaults =
        options(QStringLiteral("Films"), QStringList{QStringLiteral("hd")}, QStringLiteral("/d"));
    // An empty category set on purpose clears the default; absent fields keep it.
    const PushOptions merged = options(QString(), {}, {}, true).over(defaults);
    EXPECT_EQ(merged,
              options(QString(), QStringList{QStringLiteral("hd")}, QStringLiteral("/d"), true));
    EXPECT_FALSE(merged.asksCategory());
    EXPECT_TRUE(PushOptions{}.over(PushOptions{}).isEmpty());
    EXPECT_EQ(PushOptions{}.over(defaults), defaults);
}

TEST(PushOptionsTest, WordsForTheMember) {
    const PushOptionSupport deluge{
        true, false, true, true, QLatin1StringView("label"), QLatin1StringView("tags")};
    const PushOptions all = options(QStringLiteral("Films"), QStringList{QStringLiteral("hd")},
                                    QStringLiteral("/data"), true);
    EXPECT_EQ(unsupportedOptionsMessage(QStringLiteral("Deluge"), deluge, all),
              QStringLiteral("Deluge has no tags."));
    EXPECT_EQ(unsupportedOptionsMessage(QStringLiteral("Vuze"), PushOptionSupport{}, all),
              QStringLiteral("Vuze has no category, tags, save path or start paused."));
    EXPECT_EQ(
        unsupportedOptionsMessage(QStringLiteral("Deluge"), deluge, options(QStringLiteral("x"))),
        QString());
    EXPECT_EQ(describePushOptions(all, deluge),
              QStringLiteral("label Films; tags hd; save path /data; paused"));
    EXPECT_EQ(describePushOptions(options(QString(), QStringList(), QString(), false)),
              QStringLiteral("no category; no tags; default save path; started"));

    const struct {
        QString typed;
        QStringList tags;
    } tagCases[] = {
        {QStringLiteral(" hd , x264,,hd "), {QStringLiteral("hd"), QStringLiteral("x264")}},
        {QStringLiteral(""), {}},
        {QStringLiteral(" , "), {}},
    };
    for (const auto& c : tagCases) {
        EXPECT_EQ(splitTags(c.typed), c.tags) << c.typed.toStdString();
    }
    EXPECT_EQ(onOffValue(QStringLiteral("on")), std::optional<bool>(true));
    EXPECT_EQ(onOffValue(QStringLiteral("off")), std::optional<bool>(false));
    EXPECT_EQ(onOffValue(QStringLiteral("yes")), std::nullopt);
}

TEST(PushOptionsTest, JsonKeepsAbsentAndEmptyApartAndReadsOddFieldsAsAbsent) {
    const PushOptions cases[] = {
        {},
        options(QString(), QStringList(), QString(), false),
        options(QStringLiteral("Films"), QStringList{QStringLiteral("a"), QStringLiteral("b")},
                QStringLiteral("/x"), true),
    };
    for (const PushOptions& o : cases) {
        EXPECT_EQ(pushOptionsFromJson(pushOptionsToJson(o)), o);
    }
    // The push log's text: nothing for no options, else only the fields that were set.
    EXPECT_EQ(pushOptionsText({}), QString());
    EXPECT_EQ(pushOptionsText(options(QStringLiteral("Films"), {}, {}, true)),
              QStringLiteral(R"({"category":"Films","paused":true})"));
    const QJsonObject odd{{QStringLiteral("category"), 3},
                          {QStringLiteral("tags"), QStringLiteral("hd")},
                          {QStringLiteral("paused"), QStringLiteral("on")}};
    EXPECT_TRUE(pushOptionsFromJson(odd).isEmpty());
}

TEST(PushOptionsTest, DefaultsAreKeptPerClientUnderTheirOwnKeys) {
    test::TempHome home;
    SettingsStore store(home.path());
    ServerInfo info(store);
    info.setClient(QStringLiteral("qBittorrent"));
    info.setPushDefaults(
        QStringLiteral("qBittorrent"),
        options(QStringLiteral("Films"), QStringList{QStringLiteral("hd")}, {}, true));
    info.setPushDefaults(QStringLiteral("Deluge"), options({}, {}, QStringLiteral("/d")));
    EXPECT_EQ(store.string(QStringLiteral("Pelloran_qBittorrentCategory")),
              std::optional<QString>(QStringLiteral("Films")));
    EXPECT_EQ(store.string(QStringLiteral("Pelloran_qBittorrentPaused")),
              std::optional<QString>(QStringLiteral("on")));
    EXPECT_EQ(store.string(QStringLiteral("Pelloran_delugeSavePath")),
              std::optional<QString>(QStringLiteral("/d")));
    EXPECT_EQ(info.reloaded().pushDefaults,
              options(QStringLiteral("Films"), QStringList{QStringLiteral("hd")}, {}, true));
    // A partial change leaves the other fields as stored.
    info.setPushDefaults(QStringLiteral("qBittorrent"), options(QString()));
    EXPECT_EQ(info.reloaded().pushDefaults,
              options(QString(), QStringList{QStringLiteral("hd")}, {}, true));
    EXPECT_EQ(info.pushDefaults(QStringLiteral("Deluge")), options({}, {}, QStringLiteral("/d")));
}

TEST(FilterRoutesTest, TheFirstAcceptingFilterRoutesAndARemovedKeywordTakesItsRouteAlong) {
    test::TempHome home;
    SettingsStore store(home.path());
    addRoutedFilter(store, QStringLiteral("x264"), options(QStringLiteral("Films")));
    addRoutedFilter(store, QStringLiteral("FLAC|x264"), options(QStringLiteral("Music")));
    addRoutedFilter(store, QStringLiteral("Linux"), {});
    const QList<Filter> filters = loadFilters(store);
    const QList<FilterRoute> routes = loadFilterRoutes(store);
    const struct {
        QString name;
        PushOptions route;
    } cases[] = {
        {QStringLiteral("Film x264"), options(QStringLiteral("Films"))},  // first filter wins
        {QStringLiteral("Album FLAC"), options(QStringLiteral("Music"))},
        {QStringLiteral("Linux ISO"), {}},
        {QStringLiteral("Nothing"), {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(routeFor(c.name, filters, routes), c.route) << c.name.toStdString();
    }
    ASSERT_TRUE(removeRoutedFilter(store, 0));
    EXPECT_EQ(loadFilterRoutes(store).size(), 1);
    addFilter(store, QStringLiteral("x264"));
    EXPECT_EQ(routeOf(loadFilterRoutes(store), QStringLiteral("x264")), PushOptions{});
    // A stored element that is not a route is left out, not a crash.
    store.setValue(keys::filterRoutes, QStringList{QStringLiteral("[1]"), QStringLiteral("{")});
    EXPECT_TRUE(loadFilterRoutes(store).isEmpty());
}

TEST(AutomaticPushCapsTest, EachCapHoldsBackWhatItShould) {
    constexpr qint64 kGb = qint64(1) << 30;
    AutomaticPushCaps caps;
    caps.maxSize = 20 * kGb;
    caps.minSeeders = 3;
    caps.maxPerDay = 2;
    caps.maxBytesPerDay = 30 * kGb;
    const SentWindow quiet{0, 0};
    const struct {
        std::optional<qint64> size;
        std::optional<int> seeders;
        std::optional<SentWindow> lastDay;
        std::optional<PushCap> cap;
    } cases[] = {
        {10 * kGb, 5, quiet, std::nullopt},
        {20 * kGb, 3, quiet, std::nullopt},  // limits themselves pass
        {20 * kGb + 1, 50, quiet, PushCap::MaxSize},
        {std::nullopt, 50, quiet, PushCap::MaxSize},  // a size it can't tell
        {kGb, 2, quiet, PushCap::MinSeeders},
        {kGb, std::nullopt, quiet, PushCap::MinSeeders},
        {kGb, 9, SentWindow{2, kGb}, PushCap::MaxPerDay},
        {11 * kGb, 9, SentWindow{1, 20 * kGb}, PushCap::MaxBytesPerDay},
        {10 * kGb, 9, SentWindow{1, 20 * kGb}, std::nullopt},
        {kGb, 9, std::nullopt, PushCap::MaxPerDay},  // the record can't be read
    };
    for (const auto& c : cases) {
        EXPECT_EQ(capHoldingBack(caps, c.size, c.seeders, c.lastDay), c.cap)
            << c.size.value_or(-1) << " " << c.seeders.value_or(-1);
    }
    EXPECT_EQ(capHoldingBack(AutomaticPushCaps{}, std::nullopt, std::nullopt, std::nullopt),
              std::nullopt);
}

TEST(AutomaticPushCapsTest, SizesAndCountsAsListingsAndMembersWriteThem) {
    const struct {
        QString text;
        std::optional<qint64> bytes;
    } sizes[] = {
        {QStringLiteral("20GB"), qint64(20) << 30},
        {QStringLiteral("1.5 TB"), qint64(3) << 39},
        {QStringLiteral("700 MB"), qint64(700) << 20},
        {QStringLiteral("1,024 KB"), qint64(1) << 20},
        {QStringLiteral("20"), std::nullopt},
        {QStringLiteral("-1 GB"), std::nullopt},
        {QStringLiteral("nan GB"), std::nullopt},
        {QStringLiteral("1e300 GB"), std::nullopt},
    };
    for (const auto& c : sizes) {
        EXPECT_EQ(parseSize(c.text), c.bytes) << c.text.toStdString();
    }
    EXPECT_EQ(parseCount(QStringLiteral("1,234")), std::optional<int>(1234));
    EXPECT_EQ(parseCount(QStringLiteral("-")), std::nullopt);
    EXPECT_EQ(sizeText(qint64(20) << 30), QStringLiteral("20 GB"));
    EXPECT_EQ(sizeText(qint64(3) << 29), QStringLiteral("1.5 GB"));

    test::TempHome home;
    SettingsStore store(home.path());
    AutomaticPushCaps caps;
    caps.maxSize = 5;
    caps.maxPerDay = 4;
    storeCaps(store, caps);
    EXPECT_EQ(storedCaps(store), caps);
    storeCaps(store, {}, {PushCap::MaxSize});
    caps.maxSize.reset();
    EXPECT_EQ(storedCaps(store), caps);
    store.setValue(keys::pushMinSeeders, QStringLiteral("many"));
    EXPECT_EQ(storedCaps(store), caps);
}

TEST(AutomaticPushCapsTest, TheDayCountsWhatTheAutomaticPushNewlySentWithinIt) {
    test::TempHome home;
    ActivityDatabase activity(home.path());
    ActivityLog log(activity);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const auto push = [&](int n, qint64 ageHours, std::optional<qint64> size, PushResult result,
                          PushOrigin origin) {
        PushRecord p;
        p.time = now.addSecs(-ageHours * 3600);
        p.name = QStringLiteral("N%1").arg(n);
        p.size = size;
        p.client = QStringLiteral("qBittorrent");
        p.options = QStringLiteral("{}");
        p.result = result;
        p.origin = origin;
        return p;
    };
    constexpr auto kAuto = PushOrigin::Automatic;
    ASSERT_TRUE(log.write({}, {
                                  push(1, 30, 100, PushResult::Sent, kAuto),  // over a day ago
                                  push(2, 2, 200, PushResult::Sent, kAuto),
                                  push(3, 1, std::nullopt, PushResult::Sent, kAuto),
                                  push(4, 1, 400, PushResult::AlreadyOnServer, kAuto),
                                  push(5, 1, 800, PushResult::Failed, kAuto),
                                  push(6, 1, 1600, PushResult::Sent, PushOrigin::CommandLine),
                              }));
    EXPECT_EQ(log.sentSince(kAuto, now.addSecs(-24 * 3600)),
              std::optional<SentWindow>(SentWindow{2, 200}));
}

}  // namespace
}  // namespace pelloran
