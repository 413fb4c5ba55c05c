// How a run of the automatic push is told: its exit status, one summary line, one JSON object,
// and one notification, none when nothing new was found and nothing failed.

#include "remote/automatic_push_report.h"
#include "text/qstring_printer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <functional>

namespace pelloran {
namespace {

TEST(AutomaticPushReportTest, ExitStatusAndWhetherTheMemberIsTold) {
    const struct {
        const char* label;
        std::function<void(AutomaticPushReport&)> arrange;
        int exit;
        bool notified;
    } cases[] = {
        {"nothing new", [](AutomaticPushReport&) {}, 0, false},
        {"sent", [](AutomaticPushReport& r) { r.sent = {QStringLiteral("A")}; }, 0, true},
        {"the client had it",
         [](AutomaticPushReport& r) { r.alreadyOnServer = {QStringLiteral("A")}; }, 0, true},
        {"another run",
         [](AutomaticPushReport& r) { r.problem = AutomaticPushProblem::AnotherRunning; }, 0,
         false},
        {"a page failed",
         [](AutomaticPushReport& r) {
             r.failedPages = {{2, QStringLiteral("http://site/page/2"), ListingStatus::NoPage}};
         },
         1, true},
        {"refused password",
         [](AutomaticPushReport& r) {
             r.problem = AutomaticPushProblem::ClientRefusedPassword;
             r.notSent = {QStringLiteral("A"), QStringLiteral("B")};
         },
         1, true},
        {"CAPTCHA",
         [](AutomaticPushReport& r) { r.problem = AutomaticPushProblem::SiteWantsCaptcha; }, 3,
         true},
        {"not recorded",
         [](AutomaticPushReport& r) {
             r.sent = {QStringLiteral("A")};
             r.notRecorded = QStringLiteral("disk full");
         },
         1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        AutomaticPushReport report;
        report.client = QStringLiteral("qBittorrent");
        c.arrange(report);
        EXPECT_EQ(report.exitStatus(), c.exit);
        EXPECT_EQ(report.notification().has_value(), c.notified);
    }
}

TEST(AutomaticPushReportTest, OneLineOneObjectOneNotification) {
    AutomaticPushReport report;
    report.client = QStringLiteral("qBittorrent");
    report.sent = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                   QStringLiteral("D")};
    report.notSent = {QStringLiteral("E")};
    report.failedPages = {{3, QStringLiteral("http://site/page/3"), ListingStatus::NotUnderstood}};
    report.problem = AutomaticPushProblem::ClientUnreachable;

    EXPECT_EQ(
        report.summaryLine(),
        QStringLiteral(
            "Summary: sent 4 to qBittorrent, already on server 0, not sent 1, pages failed 1"));
    const QJsonObject json = report.json();
    EXPECT_EQ(json.value(QStringLiteral("sent")).toArray().size(), 4);
    EXPECT_EQ(json.value(QStringLiteral("notSent")).toArray().at(0).toString(),
              QStringLiteral("E"));
    EXPECT_EQ(json.value(QStringLiteral("problem")).toString(),
              QStringLiteral("clientUnreachable"));
    EXPECT_EQ(json.value(QStringLiteral("exitStatus")).toInt(), 1);
    EXPECT_EQ(json.value(QStringLiteral("pagesFailed"))
                  .toArray()
                  .at(0)
                  .toObject()
                  .value(QStringLiteral("page")),
              3);

    const auto note = report.notification();
    ASSERT_TRUE(note.has_value());
    EXPECT_EQ(note->title, QStringLiteral("Pelloran: automatic push partly failed"));
    EXPECT_EQ(note->body,
              QStringLiteral("Sent 4 torrents to qBittorrent: A, B, C and 1 more. qBittorrent "
                             "could not be reached. Favorites pages not read: 3. 1 torrent not "
                             "sent, tried again next run."));
    EXPECT_EQ(report.failedPageLines().size(), 1);
}

}  // namespace
}  // namespace pelloran
