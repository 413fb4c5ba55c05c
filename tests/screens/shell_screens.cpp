// Pictures of the shell: login face, information page, failure alert, CAPTCHA, the tab bar,
// the "More" list, the download history and the busy overlays.

#include "screens.h"

#include "lists/history_list_view_controller.h"
#include "store/settings_keys.h"
#include "ui/loading_indicator.h"
#include "ui/more_list_view_controller.h"
#include "ui/note_banner.h"
#include "ui/sending_text.h"
#include "ui/tab_bar.h"

#include "ui/image_library.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QTest>

namespace pelloran::screens {

namespace {

using test::AppDriver;

void clickMoreRow(AppDriver& app, int row) {
    QListWidget* list = app.tabBar()->moreList()->list();
    const QRect r = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

}  // namespace

QImage artworkSheet();

std::vector<Shot> shellShots() {
    return {
        {QStringLiteral("artwork.png"), [](AppDriver&, demo::DemoSite&) { return artworkSheet(); }},
        {QStringLiteral("login.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             app.storeMemberCredentials(false);
             QStringList history;
             for (int i = 0; i < 9; ++i) {
                 history.append(site.torrents()[size_t(i * 7)].name);
             }
             app.settings().setValue(keys::torrentHistory, history);
             app.launch();
             app.waitForLoginIdle();
             settle();
             return app.grab();
         }},
        {QStringLiteral("login-information.png"),
         [](AppDriver& app, demo::DemoSite&) {
             app.login()->toggleInfoView();
             AppDriver::waitUntil([&] { return app.login()->isInfoViewShown(); }, 5000);
             settle();
             QImage shot = app.grab();
             app.login()->returnView();
             AppDriver::waitUntil([&] { return !app.login()->isInfoViewShown(); }, 5000);
             settle();
             return shot;
         }},
        {QStringLiteral("login-failed-alert.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             app.signInByHand(site.memberName(), QStringLiteral("not-the-password"));
             QMessageBox* alert = app.waitForLoginAlert();
             app.waitForLoginIdle();
             settle();
             QImage shot = app.grab(alert);
             if (alert) {
                 alert->close();
             }
             return shot;
         }},
        {QStringLiteral("login-captcha.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             site.setRequireCaptcha(true);
             app.signInByHand(site.memberName(), site.memberPassword());
             if (QMessageBox* alert = app.waitForLoginAlert()) {
                 alert->close();
             }
             app.waitForCaptchaPicture();
             settleFor(1200);  // the area's one-second animation
             return app.grab();
         }},
        {QStringLiteral("tab-bar.png"),
         [](AppDriver& app, demo::DemoSite& site) {
             const QString token = app.login()->captchaChallenge().value_or(QString());
             app.signInByHand(site.memberName(), site.memberPassword(),
                              site.captchaAnswerFor(token).value_or(QString()));
             app.waitForMainInterface();
             settle();
             return app.grab();
         }},
        {QStringLiteral("more-list.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, TabBarController::kVisibleTabs);
             settle();
             return app.grab();
         }},
        {QStringLiteral("history.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickMoreRow(app, 1);
             settle();
             return app.grab();
         }},
        {QStringLiteral("sending-overlay.png"),
         [](AppDriver& app, demo::DemoSite&) {
             clickSlot(app, 0);
             settle();
             LoadingIndicator& loading = LoadingIndicator::sharedInstance();
             loading.setParentView(&app.window());
             loading.setString(QStringLiteral("Loading..."));
             loading.showLoadingIndicators();
             SendingTorrentIndicator& sending = SendingTorrentIndicator::sharedInstance();
             sending.setParentView(&app.window());
             sending.setString(sendingTextOnTap(1));
             sending.setOffset(50);
             sending.showLoadingIndicators();
             settle();
             QImage shot = app.grab();
             loading.hideLoadingIndicators();
             sending.hideLoadingIndicators();
             return shot;
         }},
        {QStringLiteral("store-note.png"),
         [](AppDriver& app, demo::DemoSite&) {
             // A settings file broken by hand while the app runs, met at the next save.
             QFile file(app.settings().filePath());
             if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                 file.write("{ broken");
                 file.close();
             }
             clickSlot(app, 1);
             AppDriver::waitUntil([&] { return NoteBanner::current(&app.window()) != nullptr; },
                                  5000);
             settle();
             QImage shot = app.grab();
             if (NoteBanner* note = NoteBanner::current(&app.window())) {
                 note->deleteLater();
             }
             return shot;
         }},
    };
}

}  // namespace pelloran::screens

namespace pelloran::screens {

QImage artworkSheet() {
    // Every image of the program at twice its size, with its name, on the list background.
    QDir dir(QStringLiteral(":/pelloran/images"));
    QStringList names = dir.entryList(QDir::Files, QDir::Name);
    QStringList backgrounds;
    QStringList icons;
    for (const QString& n : names) {
        (n.startsWith(QLatin1String("loginBack")) ? backgrounds : icons).append(n);
    }
    const int cell = 110;
    const int columns = 6;
    const int iconRows = int((icons.size() + columns - 1) / columns);
    const int backHeight = 300;
    int backWidth = 10;
    for (const QString& name : backgrounds) {
        QSizeF natural = ImageLibrary::naturalSize(name);
        natural.scale(QSizeF(200, backHeight - 30), Qt::KeepAspectRatio);
        backWidth += natural.toSize().width() + 14;
    }
    QImage sheet(std::max(columns * cell, backWidth), iconRows * cell + backHeight + 20,
                 QImage::Format_ARGB32);
    sheet.fill(QColor(51, 51, 51));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(10);
    p.setFont(f);
    p.setPen(QColor(220, 220, 220));
    for (int i = 0; i < icons.size(); ++i) {
        const QString name = icons[i];
        const QRect r((i % columns) * cell, (i / columns) * cell, cell, cell);
        QSizeF natural = ImageLibrary::naturalSize(name);
        natural.scale(QSizeF(64, 64), Qt::KeepAspectRatio);
        const QSize size = natural.toSize();
        const QPixmap pm = ImageLibrary::pixmap(name, size, 2.0);
        p.drawPixmap(r.x() + (cell - size.width()) / 2, r.y() + 10 + (64 - size.height()) / 2, pm);
        p.drawText(QRect(r.x(), r.y() + 80, cell, 24), Qt::AlignCenter, name);
    }
    int x = 10;
    for (const QString& name : backgrounds) {
        QSizeF natural = ImageLibrary::naturalSize(name);
        natural.scale(QSizeF(200, backHeight - 30), Qt::KeepAspectRatio);
        const QSize size = natural.toSize();
        p.drawPixmap(x, iconRows * cell + 10, ImageLibrary::pixmap(name, size, 1.0));
        p.drawText(QRect(x, iconRows * cell + 14 + size.height(), size.width(), 16),
                   Qt::AlignCenter, name);
        x += size.width() + 14;
    }
    return sheet;
}

}  // namespace pelloran::screens
