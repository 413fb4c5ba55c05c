#include "page_frame.h"

#include "url_codec.h"

namespace pelloran::demo {

QString htmlEscape(const QString& text) {
    return text.toHtmlEscaped();
}

QString pageTitle(const QString& what) {
    return what + QStringLiteral(" :: ") + kSiteName;
}

QString pageFrame(const QString& title, const QString& body) {
    return QStringLiteral("<html><head><title>") + htmlEscape(title) +
           QStringLiteral(
               "</title><link rel=\"stylesheet\" href=\"/css/site.css\" /></head><body>\n") +
           body + QStringLiteral("</body></html>\n");
}

QString memberBar(const DemoMember& member) {
    const QString href = QStringLiteral("/profile/") + percentEncodePath(member.name);
    // The site styles the names of ordinary members; old accounts still get the plain link,
    // padded the way its template wrote it.
    const QString link =
        member.plainProfileLink
            ? QStringLiteral("<a href=\"%1\">  %2\t</a>").arg(href, htmlEscape(member.name))
            : QStringLiteral(
                  "<a href=\"%1\"><span class=\"user\" style=\"color:#9cf\">%2</span></a>")
                  .arg(href, htmlEscape(member.name));
    return QStringLiteral("<div id=\"memberBar\">\n ") + link +
           QStringLiteral("\n <span class=\"lbl\">Ratio:</span>") + member.ratio +
           QStringLiteral("\n <span class=\"lbl\">Up:</span> ") + member.uploaded +
           QStringLiteral("\n <span class=\"lbl\">Down:</span> ") + member.downloaded +
           QStringLiteral("\n <a href=\"/user/account/logout\">Logout</a>\n</div>\n");
}

QString sitePage(const SiteContext& site, const DemoMember* member, const QString& title,
                 const QString& content) {
    QString body =
        QStringLiteral("<div id=\"middle\">\n<div id=\"header\">\n <a href=\"/\" class=\"logo\">") +
        kSiteName + QStringLiteral("</a>\n</div>\n");
    if (member) {
        body += memberBar(*member);
        body += QStringLiteral(
                    "<div id=\"nav\">\n <ul>\n"
                    "  <li><a href=\"/\">Home</a></li>\n"
                    "  <li><a href=\"/torrents/browse\">Browse</a></li>\n"
                    "  <li><a href=\"/user/account/snatched\">Snatch list</a></li>\n"
                    "  <li><a href=\"http://%1/\">Forum</a></li>\n"
                    " </ul>\n</div>\n")
                    .arg(site.forumHost);
    }
    body += content;
    body += QStringLiteral("</div>\n<div id=\"footer\">&copy; 2012 ") + kSiteName +
            QStringLiteral(" &middot; made-up data for testing</div>\n");
    return pageFrame(title, body);
}

QString loginPage(const SiteContext& site, const LoginPageState& state) {
    QString body = QStringLiteral("<div id=\"login\">\n<h2>Sign in</h2>\n");
    if (state.invalidUser) {
        body += QStringLiteral("<div class=\"error\">Invalid Username or Password.</div>\n");
    }
    if (state.captchaFailed) {
        body += QStringLiteral(
            "<div class=\"error\">You did not fill in the words of the image correctly. "
            "Please try again.</div>\n");
    }
    body += QStringLiteral(
                "<form action=\"/user/account/login/\" method=\"post\" id=\"loginForm\">\n"
                "<p><label for=\"username\">Username</label> "
                "<input type=\"text\" id=\"username\" name=\"username\" value=\"%1\" /></p>\n"
                "<p><label for=\"password\">Password</label> "
                "<input type=\"password\" id=\"password\" name=\"password\" value=\"\" /></p>\n")
                .arg(htmlEscape(state.username));
    if (state.captcha) {
        const QString server = QStringLiteral("http://") + site.captchaHost;
        body +=
            QStringLiteral(
                "<div id=\"captcha\">\n"
                "<script type=\"text/javascript\" "
                "src=\"%1/recaptcha/api/challenge?k=%2\"></script>\n"
                "<noscript>\n"
                " <iframe src=\"%1/recaptcha/api/noscript?k=%2\" height=\"300\" width=\"500\" "
                "frameborder=\"0\"></iframe><br />\n"
                " <textarea name=\"recaptcha_challenge_field\" rows=\"3\" cols=\"40\"></textarea>\n"
                " <input type=\"hidden\" name=\"recaptcha_response_field\" "
                "value=\"manual_challenge\" />\n"
                "</noscript>\n"
                "</div>\n")
                .arg(server, QStringLiteral("6LeDemoKeyPelloran"));
    }
    body += QStringLiteral(
        "<p><input type=\"checkbox\" id=\"remember_me\" name=\"remember_me\" checked=\"checked\" "
        "/> "
        "<label for=\"remember_me\">Keep me signed in</label></p>\n"
        "<p><input type=\"submit\" name=\"login\" value=\"submit\" /></p>\n"
        "</form>\n</div>\n");
    return sitePage(site, nullptr, site.loginTitle, body);
}

QString notFoundPage(const SiteContext& site, const QString& what) {
    return sitePage(
        site, nullptr, pageTitle(QStringLiteral("Not Found")),
        QStringLiteral("<h2>Not Found</h2>\n<p>") + htmlEscape(what) + QStringLiteral("</p>\n"));
}

}  // namespace pelloran::demo
