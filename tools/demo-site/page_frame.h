#pragma once
// The parts every HTML page of the site shares: the frame with its head, the header with the
// member bar, the login page, and error pages. Pages are written with "\n" line ends; the
// server turns them into "\r\n" when that switch is on.

#include <QString>

#include "demo_site.h"

namespace pelloran::demo {

// Addresses and texts the pages write.
struct SiteContext {
    QString siteHost;
    QString forumHost;
    QString captchaHost;
    QString loginTitle;
};

inline const QString kSiteName = QStringLiteral("Pelloran Demo Tracker");

// "&", "<", ">" and '"' as character references.
QString htmlEscape(const QString& text);
// "Browse" -> "Browse :: Pelloran Demo Tracker"
QString pageTitle(const QString& what);
// <html><head><title>…</title><link rel="stylesheet" … /></head><body>body</body></html>
QString pageFrame(const QString& title, const QString& body);
QString memberBar(const DemoMember& member);
// A whole page in the site's layout: everything in the page column <div id="middle">, which
// starts with the site header, the member bar and the navigation (the member bar and the
// navigation only for a signed-in member), then the content; the footer follows the column.
QString sitePage(const SiteContext& site, const DemoMember* member, const QString& title,
                 const QString& content);

struct LoginPageState {
    bool captcha = false;        // include the challenge script and the fallback fields
    bool invalidUser = false;    // "Invalid Username" message
    bool captchaFailed = false;  // "You did not fill in the words" message
    QString username;            // put back into the field
};
QString loginPage(const SiteContext& site, const LoginPageState& state);
QString notFoundPage(const SiteContext& site, const QString& what);

}  // namespace pelloran::demo
