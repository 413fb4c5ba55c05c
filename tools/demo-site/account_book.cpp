#include "account_book.h"

#include <QRandomGenerator>
#include <algorithm>

#include "release_names.h"

namespace pelloran::demo {

AccountBook::AccountBook() {
    members_.push_back(DemoMember{QString::fromLatin1(kDemoName), QStringLiteral("demo-pass-42"),
                                  QStringLiteral("31337"), QStringLiteral("1.234"),
                                  QStringLiteral("120.5 GB"), QStringLiteral("97.66 GB"), 80,
                                  false});
    members_.push_back(DemoMember{
        QStringLiteral("quietfox"), QStringLiteral("p&ss%41+x"), QStringLiteral("4242"),
        QStringLiteral("3"), QStringLiteral("512.00 MB"), QStringLiteral("170.6 MB"), 12, true});
    int id = 1001;
    for (const QString& uploader : uploaderNames()) {
        members_.push_back(DemoMember{uploader, QString(), QString::number(id++),
                                      QStringLiteral("7.51"), QStringLiteral("4.21 TB"),
                                      QStringLiteral("560.3 GB"), 0, false});
    }
}

std::optional<DemoMember> AccountBook::member(const QString& name) const {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(members_.begin(), members_.end(),
                           [&](const DemoMember& m) { return m.name == name; });
    if (it == members_.end()) {
        return std::nullopt;
    }
    return *it;
}

void AccountBook::addMember(const DemoMember& member) {
    std::lock_guard lock(mutex_);
    auto it = std::find_if(members_.begin(), members_.end(),
                           [&](const DemoMember& m) { return m.name == member.name; });
    if (it == members_.end()) {
        members_.push_back(member);
    } else {
        *it = member;
    }
}

void AccountBook::setSnatchCount(const QString& name, int count) {
    std::lock_guard lock(mutex_);
    for (DemoMember& m : members_) {
        if (m.name == name) {
            m.snatchCount = std::max(count, 0);
        }
    }
}

std::optional<DemoMember> AccountBook::signIn(const QString& name, const QString& password) const {
    std::optional<DemoMember> m = member(name);
    if (!m || m->password.isEmpty() || m->password != password) {
        return std::nullopt;
    }
    return m;
}

QString AccountBook::openSession(const QString& memberName) {
    quint32 words[5];
    QRandomGenerator::system()->fillRange(words);
    QString token;
    for (quint32 w : words) {
        token += QStringLiteral("%1").arg(w, 8, 16, QLatin1Char('0'));
    }
    std::lock_guard lock(mutex_);
    sessions_.insert(token, memberName);
    return token;
}

std::optional<DemoMember> AccountBook::sessionMember(const QString& token) const {
    QString name;
    {
        std::lock_guard lock(mutex_);
        auto it = sessions_.constFind(token);
        if (it == sessions_.constEnd()) {
            return std::nullopt;
        }
        name = *it;
    }
    return member(name);
}

void AccountBook::closeSession(const QString& token) {
    std::lock_guard lock(mutex_);
    sessions_.remove(token);
}

void AccountBook::expireAllSessions() {
    std::lock_guard lock(mutex_);
    sessions_.clear();
}

}  // namespace pelloran::demo
