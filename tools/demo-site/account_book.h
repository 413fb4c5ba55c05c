#pragma once
// Members and their sign-in sessions.
//
// Thread contract: every method locks; callable from any server thread.

#include <QHash>
#include <QString>
#include <mutex>
#include <optional>
#include <vector>

#include "demo_site.h"

namespace pelloran::demo {

class AccountBook {
public:
    AccountBook();  // the demo member, the second member and the uploaders' profiles

    static constexpr const char* kDemoName = "demo";
    static constexpr const char* kSessionCookie = "pelloran_session";

    std::optional<DemoMember> member(const QString& name) const;
    void addMember(const DemoMember& member);  // replaces a member of the same name
    void setSnatchCount(const QString& name, int count);
    // The member when name and password match a member who has a password.
    std::optional<DemoMember> signIn(const QString& name, const QString& password) const;

    QString openSession(const QString& memberName);  // a new session token
    std::optional<DemoMember> sessionMember(const QString& token) const;
    void closeSession(const QString& token);
    void expireAllSessions();

private:
    mutable std::mutex mutex_;
    std::vector<DemoMember> members_;
    QHash<QString, QString> sessions_;  // token -> member name
};

}  // namespace pelloran::demo
