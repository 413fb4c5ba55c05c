// Routes of the forum, the CAPTCHA service and the announcement endpoint, and the site's
// generated pictures.

#include <QBuffer>
#include <QImage>
#include <QRandomGenerator>

#include "bitmap_font.h"
#include "catalog.h"
#include "content_pages.h"
#include "demo_server.h"
#include "url_codec.h"

namespace pelloran::demo {

namespace {

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A 48x36 badge: the section's colour with the category's short name.
QImage badge(const DemoCategory* category) {
    static const QColor sectionColors[] = {
        QColor(90, 90, 90),  QColor(176, 58, 46),  QColor(40, 116, 166), QColor(30, 132, 73),
        QColor(175, 96, 26), QColor(125, 60, 152), QColor(46, 64, 83),   QColor(192, 57, 43)};
    QImage image(48, 36, QImage::Format_ARGB32);
    image.fill(category ? sectionColors[category->section % 8] : QColor(60, 60, 60));
    const QString text = category ? categoryBadge(category->id) : QStringLiteral("DL");
    const int scale = text.size() <= 3 ? 2 : 1;
    const int width = int(text.size()) * glyphAdvance(scale) - scale;
    drawText(image, (48 - width) / 2, (36 - kGlyphHeight * scale) / 2, text, scale, Qt::white);
    return image;
}

}  // namespace

void DemoServer::serveCategoryImage(Exchange& ex, const QString& name) {
    const DemoCategory* category = nullptr;
    if (!name.isEmpty()) {
        for (const DemoCategory& c : categoryTable()) {
            if (c.image == name) {
                category = &c;
            }
        }
        if (!category) {
            sendNotFound(ex, QStringLiteral("No such picture."));
            return;
        }
    }
    QByteArray bytes;
    {
        std::lock_guard lock(imageMutex_);
        auto it = categoryImages_.find(name);
        if (it == categoryImages_.end()) {
            it = categoryImages_.insert(name, png(badge(category)));
        }
        bytes = *it;
    }
    sendText(ex, bytes, "image/png");
}

void DemoServer::routeForum(Exchange& ex) {
    if (ex.path == QLatin1String("/") || ex.path == QLatin1String("/index.php")) {
        sendHtml(ex, forumIndex(siteContext()));
        return;
    }
    if (ex.path.startsWith(QLatin1String("/thread/"))) {
        const QString page =
            forumThread(siteContext(), leadingNumber(QStringView(ex.path).mid(8)).value_or(0));
        if (!page.isEmpty()) {
            sendHtml(ex, page);
            return;
        }
    }
    sendNotFound(ex, QStringLiteral("No such thread."));
}

void DemoServer::routeCaptcha(Exchange& ex) {
    const FormFields query = parseForm(ex.query);
    if (ex.path == QLatin1String("/recaptcha/api/challenge")) {
        const QString token = captcha_.newChallenge();
        const QString key = formValue(query, QStringLiteral("k")).value_or(QString());
        QString script = CaptchaService::challengeScript(
            token, key, QStringLiteral("http://") + captchaService_.hostPort() + QLatin1Char('/'));
        if (crlf_) {
            script.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
        }
        // The service keeps a cookie of its own, which a client's logout has to remove.
        const QString id = QString::number(QRandomGenerator::global()->generate64(), 16);
        ex.response.set_header("Set-Cookie",
                               ("PREF=ID=" + id + "; Path=/; Max-Age=31536000").toStdString());
        sendText(ex, script.toUtf8(), "text/javascript");
        return;
    }
    if (ex.path == QLatin1String("/image")) {
        const QByteArray picture =
            captcha_.picture(formValue(query, QStringLiteral("c")).value_or(QString()));
        if (!picture.isEmpty()) {
            sendText(ex, picture, "image/png");
            return;
        }
    }
    if (ex.path == QLatin1String("/js/recaptcha.js")) {
        sendText(ex, "/* challenge widget */\n", "text/javascript");
        return;
    }
    ex.response.status = 404;
    ex.response.set_content("Not Found\n", "text/plain");
}

void DemoServer::routeAnnounce(Exchange& ex) {
    if (ex.path == QLatin1String("/pelloran.php")) {
        QString text;
        {
            std::lock_guard lock(switchMutex_);
            text = announcement_;
        }
        sendText(ex, text.toUtf8(), "text/plain; charset=utf-8");
        return;
    }
    ex.response.status = 404;
    ex.response.set_content("Not Found\n", "text/plain");
}

}  // namespace pelloran::demo
