#include "app/app_services.h"

#include "store/app_paths.h"
#include "store/settings_keys.h"

namespace pelloran {

AppServices::AppServices(const SiteConfig& config, const QString& dataDirectory,
                         const SecretStoreChoice& secrets)
    : config_(config), dataDirectory_(dataDirectory) {
    settings_ = std::make_unique<SettingsStore>(dataDirectory_);
    // A bounded wait: a keyring that does not answer in time leaves the passwords in the file.
    secrets_ = openSecretStore(*settings_, secrets);
    cookies_ = std::make_unique<CookieStore>(cookieFilePath(dataDirectory_));
    session_ = std::make_unique<Session>(config_.loginUrl(), config_.loginTitle);
    server_ = std::make_unique<ServerInfo>(*settings_, secrets_.get());
    history_ = std::make_unique<DownloadHistory>(*settings_);
}

std::unique_ptr<AppServices> AppServices::fromEnvironment() {
    return std::make_unique<AppServices>(SiteConfig::fromEnvironment(),
                                         dataDirectoryFromEnvironment(),
                                         secretStoreChoiceFromEnvironment());
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
