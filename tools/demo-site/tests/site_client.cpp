#include "site_client.h"

#include <QStringList>
#include <QUrl>

#include "icu_match.h"

namespace pelloran::demo::test {

QString Reply::header(const char* name) const {
    auto it = headers.find(name);
    return it == headers.end() ? QString() : QString::fromStdString(it->second);
}

std::vector<QString> Reply::setCookies() const {
    std::vector<QString> out;
    auto range = headers.equal_range("Set-Cookie");
    for (auto it = range.first; it != range.second; ++it) {
        out.push_back(QString::fromStdString(it->second));
    }
    return out;
}

SiteClient::SiteClient(const QString& hostPort)
    : host_(hostPort.section(QLatin1Char(':'), 0, 0).toStdString()),
      port_(hostPort.section(QLatin1Char(':'), 1).toInt()) {}

httplib::Headers SiteClient::headers() const {
    httplib::Headers h{{"User-Agent", "demo-site-test"}};
    if (!cookie_.isEmpty()) {
        h.emplace("Cookie", cookie_.toStdString());
    }
    return h;
}

static Reply toReply(const httplib::Result& result) {
    Reply reply;
    if (result) {
        reply.status = result->status;
        reply.body = QByteArray::fromStdString(result->body);
        reply.headers = result->headers;
    }
    return reply;
}

Reply SiteClient::get(const QString& target) const {
    httplib::Client client(host_, port_);
    return toReply(client.Get(target.toStdString(), headers()));
}

Reply SiteClient::post(const QString& target, const QByteArray& formBody) const {
    httplib::Client client(host_, port_);
    return toReply(client.Post(target.toStdString(), headers(), formBody.toStdString(),
                               "application/x-www-form-urlencoded"));
}

Reply SiteClient::signIn(const QString& user, const QString& password, const QString& extraFields) {
    const QByteArray body = "username=" + QUrl::toPercentEncoding(user) +
                            "&password=" + QUrl::toPercentEncoding(password) +
                            extraFields.toUtf8() + "&remember_me=on&login=submit";
    Reply reply = post(QStringLiteral("/user/account/login/"), body);
    QStringList pairs;
    for (const QString& c : reply.setCookies()) {
        pairs << c.section(QLatin1Char(';'), 0, 0);
    }
    if (reply.status == 302) {
        cookie_ = pairs.join(QStringLiteral("; "));
    }
    return reply;
}

QString titleOf(const QString& page) {
    const QStringList m = icuFirstMatch(page, kTitlePattern);
    return m.size() > 1 ? m[1] : QString();
}

QString escapeHref(const QString& href) {
    // Everything outside the characters a URL may hold becomes %XX of its UTF-8 bytes; "%"
    // itself is escaped again, as a client that escapes the href it read does.
    return QString::fromLatin1(QUrl::toPercentEncoding(href, "/?&=;:@!$'()*+,-._~[]#"));
}

}  // namespace pelloran::demo::test
