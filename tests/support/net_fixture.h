#pragma once
// A cookie store, a session and a loopback server: what a test needs for real HTTP exchanges.

#include "net/cookie_store.h"
#include "net/net_context.h"
#include "net/session.h"
#include "support/test_server.h"

#include <gtest/gtest.h>

#include <memory>

namespace pelloran::test {

inline const QString kTestLoginTitle = QStringLiteral("Login :: Test Tracker");

class NetFixture : public ::testing::Test {
protected:
    // Call after installing handlers on server.server(). The session's login page is the
    // server's "/user/account/login/".
    void startServer() {
        ASSERT_TRUE(server.start());
        session = std::make_unique<Session>(server.url(QStringLiteral("/user/account/login/")),
                                            kTestLoginTitle);
    }
    NetContext net() { return NetContext{&cookies, session.get()}; }

    TestServer server;
    CookieStore cookies;
    std::unique_ptr<Session> session;
};

}  // namespace pelloran::test
