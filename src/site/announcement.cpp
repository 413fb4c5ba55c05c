#include "site/announcement.h"

#include "net/http_request.h"
#include "site/site_config.h"

#include <QSysInfo>
#include <QUrl>

namespace pelloran {

namespace {

// Every byte but ASCII letters, digits and "-._~" escaped: a value can neither add fields nor
// end the query.
QString queryValue(const QString& value) {
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

}  // namespace

QString announcementUrl(const SiteConfig& config, const QString& version, const QString& model,
                        const QString& osVersion) {
    QString compactModel = model;
    compactModel.remove(QLatin1Char(' '));
    return QStringLiteral("http://") + config.announceHost + QStringLiteral("/pelloran.php?v=") +
           queryValue(version) + QStringLiteral("&m=") + queryValue(compactModel) +
           QStringLiteral("&p=") + queryValue(osVersion);
}

Announcement parseAnnouncement(bool responseValid, const std::optional<QString>& text) {
    if (!responseValid || !text || text->isEmpty()) {
        return {};
    }
    const QStringList fields = text->split(QLatin1Char(':'));
    const QString message = fields.value(1);
    if (fields[0] == QLatin1StringView("STOP")) {
        return {Announcement::Kind::Stop, message};
    }
    if (fields[0] == QLatin1StringView("GO")) {
        return {Announcement::Kind::Go, message};
    }
    return {};
}

Announcement checkAnnouncement(const SiteConfig& config, const NetContext& net,
                               const QString& version) {
    HttpRequest request(
        announcementUrl(config, version, deviceModelName(), operatingSystemVersion()), net);
    request.setTimeout(kAnnouncementTimeoutSeconds);
    request.request();
    return parseAnnouncement(request.isResponseValid(), request.result());
}

QString deviceModelName() {
    return QSysInfo::kernelType() + QLatin1Char('-') + QSysInfo::currentCpuArchitecture();
}

QString operatingSystemVersion() {
    return QSysInfo::prettyProductName();
}

}  // namespace pelloran
