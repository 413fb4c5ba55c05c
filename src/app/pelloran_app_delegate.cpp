#include "app/pelloran_app_delegate.h"

#include "app/pelloran_window.h"
#include "app/switch_view_controller.h"
#include "remote/services.h"

#include <QApplication>

namespace pelloran {

namespace {
const QString kVersion = QStringLiteral(PELLORAN_VERSION);
constexpr qreal kInterfaceFontPoints = 13;
}  // namespace

PelloranAppDelegate::PelloranAppDelegate(Services& services, const Options& options)
    : services_(services), options_(options), web_(options.webPluginDirs) {}

PelloranAppDelegate::PelloranAppDelegate(Services& services)
    : PelloranAppDelegate(services, Options{}) {}

PelloranAppDelegate::~PelloranAppDelegate() = default;

void PelloranAppDelegate::applicationDidFinishLaunching() {
    recordVersion(services_.settings(), kVersion);
    const UiScale scale = PelloranWindow::scaleForScreen(options_.scale);
    // Everything not drawn by our screens (alerts, menus, tooltips) reads at the same scale.
    QApplication::setFont(scale.font(FontFace::System, kInterfaceFontPoints));
    window_ = std::make_unique<PelloranWindow>(scale, options_.heightPoints);
    // Closing the window ends the run: exchanges still in flight (a push to a client that
    // doesn't answer, a page) are cut off rather than waited for, so the process ends at once.
    QObject::connect(window_.get(), &PelloranWindow::closing, window_.get(),
                     [this] { services_.closeNetwork(); });
    viewController_ = new SwitchViewController(services_, &web_, kVersion);
    window_->setContent(viewController_);
    if (options_.showWindow) {
        window_->show();
        window_->activateWindow();
    }
    viewController_->viewDidLoad();
}

}  // namespace pelloran
