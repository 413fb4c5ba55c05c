// Behaviour shared by both fakes (authentication, fault switches, records), exercised on
// FakeVuze's web UI page.

#include <gtest/gtest.h>

#include <future>

#include "client_bodies.h"
#include "fake_vuze.h"

namespace pelloran::fake {
namespace {

using namespace test;

class FakeClientBaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(fake.start()); }

    httplib::Result getRoot(const httplib::Headers& headers = {}, time_t readTimeoutSeconds = 10) {
        auto client = clientFor(fake.port());
        client.set_read_timeout(readTimeoutSeconds, 0);
        return client.Get("/", headers);
    }

    FakeVuze fake;
};

httplib::Headers basic(const QByteArray& userColonPassword) {
    return {{"Authorization", "Basic " + userColonPassword.toBase64().toStdString()}};
}

TEST_F(FakeClientBaseTest, BasicAuthenticationGuardsEveryPage) {
    fake.setCredentials(QStringLiteral("me"), QStringLiteral("pa:ss wörd"));
    const struct {
        const char* label;
        httplib::Headers headers;
        int status;
    } cases[] = {
        {"no credentials", {}, 401},
        {"wrong password", basic("me:pa:ss"), 401},
        {"wrong user", basic("you:pa:ss wörd"), 401},
        {"not Base64", {{"Authorization", "Basic !!!"}}, 401},
        {"other scheme",
         {{"Authorization", "Bearer " + QByteArray("me:pa:ss wörd").toBase64().toStdString()}},
         401},
        {"right credentials", basic("me:pa:ss wörd"), 200},
    };
    for (const auto& c : cases) {
        const auto result = getRoot(c.headers);
        ASSERT_TRUE(result) << c.label;
        EXPECT_EQ(result->status, c.status) << c.label;
        if (c.status == 401) {
            EXPECT_EQ(result->get_header_value("WWW-Authenticate").rfind("Basic realm=", 0), 0u)
                << c.label;
        }
    }

    fake.setCredentials(QString(), QString());
    EXPECT_EQ(getRoot()->status, 200);
}

TEST_F(FakeClientBaseTest, FailSwitchAnswersEverythingWithTheStatus) {
    fake.setCredentials(QStringLiteral("me"), QStringLiteral("secret"));
    fake.setFailWithStatus(500);
    const auto failed = post(fake.port(), "/index.tmpl?d=u&local=1", vuzeBody("a", kTorrent));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->status, 500);
    EXPECT_TRUE(fake.addedTorrents().empty());
    EXPECT_EQ(fake.lastRequest().status, 500);
    EXPECT_EQ(fake.lastRequest().parts.size(), 2u);  // recorded in full all the same

    fake.setFailWithStatus(0);
    EXPECT_EQ(getRoot(basic("me:secret"))->status, 200);
}

TEST_F(FakeClientBaseTest, DropSwitchClosesWithoutAnswering) {
    fake.setDropConnection(true);
    const auto result = getRoot();
    EXPECT_FALSE(result);
    ASSERT_EQ(fake.requests().size(), 1u);
    EXPECT_EQ(fake.lastRequest().status, 0);

    fake.setDropConnection(false);
    EXPECT_EQ(getRoot()->status, 200);
}

TEST_F(FakeClientBaseTest, NoAnswerHoldsUntilSwitchedOffOrStopped) {
    fake.setNoAnswer(true);
    EXPECT_FALSE(getRoot({}, 1));  // the client gives up; the fake still holds the answer
    EXPECT_EQ(fake.lastRequest().status, 0);

    auto released = std::async(std::launch::async, [this] { return getRoot(); });
    ASSERT_TRUE(fake.waitForRequests(2, std::chrono::seconds(30)));
    fake.setNoAnswer(false);
    const auto answer = released.get();
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->status, 200);

    // stop() must not wait for a held answer: the held request is dropped instead.
    fake.setNoAnswer(true);
    auto held = std::async(std::launch::async, [this] { return getRoot(); });
    ASSERT_TRUE(fake.waitForRequests(3, std::chrono::seconds(30)));
    fake.stop();
    EXPECT_FALSE(held.get());
}

}  // namespace
}  // namespace pelloran::fake
