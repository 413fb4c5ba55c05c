#include "app/app_services.h"

#include "store/app_paths.h"
#include "store/settings_keys.h"

namespace pelloran {

AppServices::AppServices(const SiteConfig& config, const QString& dataDirectory)
    : config_(config), dataDirectory_(dataDirectory) {
    settings_ = std::make_unique<SettingsStore>(dataDirectory_);
    cookies_ = std::make_unique<CookieStore>(cookieFilePath(dataDirectory_));
    session_ = std::make_unique<Session>(config_.loginUrl(), config_.loginTitle);
    server_ = std::make_unique<ServerInfo>(*settings_);
    history_ = std::make_unique<DownloadHistory>(*settings_);
}

std::unique_ptr<AppServices> AppServices::fromEnvironment() {
    return std::make_unique<AppServices>(SiteConfig::fromEnvironment(),
                                         dataDirectoryFromEnvironment());
}

AppServices::~AppServices() {
    cookies_->save();
}

bool recordVersion(SettingsStore& settings, const QString& runningVersion) {
    if (settings.string(keys::version) == runningVersion) {
        return false;
    }
    settings.setValue(keys::version, runningVersion);
    settings.flush();
    return true;
}

}  // namespace pelloran
