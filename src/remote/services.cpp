#include "remote/services.h"

#include "store/app_paths.h"
#include "store/settings_keys.h"

namespace pelloran {

Services::Services(const SiteConfig& config, const QString& dataDirectory,
                   const SecretStoreChoice& secrets)
    : config_(config), dataDirectory_(dataDirectory) {
    settings_ = std::make_unique<SettingsStore>(dataDirectory_);
    // A bounded wait: a keyring that does not answer in time leaves the passwords in the file.
    secrets_ = openSecretStore(*settings_, secrets);
    cookies_ = std::make_unique<CookieStore>(cookieFilePath(dataDirectory_));
    session_ = std::make_unique<Session>(config_.loginUrl(), config_.loginTitle);
    server_ = std::make_unique<ServerInfo>(*settings_, secrets_.get());
    history_ = std::make_unique<DownloadHistory>(*settings_);
    activity_ = std::make_unique<ActivityDatabase>(dataDirectory_);
    recorder_ = std::make_unique<ActivityRecorder>(*activity_);
}

std::unique_ptr<Services> Services::fromEnvironment(SecretStoreOpening opening) {
    SecretStoreChoice secrets = secretStoreChoiceFromEnvironment();
    secrets.opening = opening;
    return std::make_unique<Services>(SiteConfig::fromEnvironment(), dataDirectoryFromEnvironment(),
                                      secrets);
}

Services::~Services() {
    cookies_->save();
}

QList<StoreNotice> Services::takeNotices() {
    QList<StoreNotice> notices = settings_->takeNotices();
    notices += cookies_->takeNotices();
    notices += secrets_->takeNotices();
    notices += activity_->takeNotices();
    return notices;
}

void Services::closeNetwork() {
    cancellation_.cancel();
    session_->close();
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
