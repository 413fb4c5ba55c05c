#include "captcha.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QStringList>

#include "bitmap_font.h"

namespace pelloran::demo {

namespace {

const QStringList& words() {
    static const QStringList pool = {
        QStringLiteral("harbor"),  QStringLiteral("copper"), QStringLiteral("meadow"),
        QStringLiteral("lantern"), QStringLiteral("pickle"), QStringLiteral("orbit"),
        QStringLiteral("velvet"),  QStringLiteral("quartz"), QStringLiteral("bramble"),
        QStringLiteral("cinder"),  QStringLiteral("falcon"), QStringLiteral("tundra"),
        QStringLiteral("walnut"),  QStringLiteral("saddle"), QStringLiteral("gravel"),
        QStringLiteral("pepper"),  QStringLiteral("ripple"), QStringLiteral("mosaic"),
    };
    return pool;
}

QString normalized(const QString& text) {
    return text.simplified().toLower();
}

}  // namespace

CaptchaService::CaptchaService(quint32 seed) : rng_(seed ^ 0x63617074u) {}

QString CaptchaService::newChallenge() {
    std::lock_guard lock(mutex_);
    const QString answer = words().at(int(rng_.bounded(quint32(words().size())))) +
                           QLatin1Char(' ') +
                           words().at(int(rng_.bounded(quint32(words().size()))));
    // Long opaque tokens like the real service's; unique through the counter.
    const QByteArray material = QByteArray::number(++counter_) + ':' +
                                QByteArray::number(QRandomGenerator::global()->generate64());
    const QString token =
        QStringLiteral("03AHJ_") +
        QString::fromLatin1(
            QCryptographicHash::hash(material, QCryptographicHash::Sha1)
                .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    answers_.insert(token, answer);
    lastToken_ = token;
    return token;
}

std::optional<QString> CaptchaService::answerFor(const QString& token) const {
    std::lock_guard lock(mutex_);
    auto it = answers_.constFind(token);
    if (it == answers_.constEnd()) {
        return std::nullopt;
    }
    return *it;
}

QString CaptchaService::lastToken() const {
    std::lock_guard lock(mutex_);
    return lastToken_;
}

bool CaptchaService::verify(const QString& token, const QString& response) {
    std::lock_guard lock(mutex_);
    auto it = answers_.find(token);
    if (it == answers_.end()) {
        return false;
    }
    const bool ok = normalized(*it) == normalized(response);
    answers_.erase(it);
    return ok;
}

QByteArray CaptchaService::picture(const QString& token) const {
    const std::optional<QString> answer = answerFor(token);
    if (!answer) {
        return {};
    }
    QImage image(300, 57, QImage::Format_RGB32);
    image.fill(QColor(246, 246, 240));
    // Speckles and a wavy baseline so it looks like a CAPTCHA, while staying easy to read.
    QRandomGenerator noise(quint32(qHash(token)));
    for (int i = 0; i < 900; ++i) {
        image.setPixel(int(noise.bounded(300)), int(noise.bounded(57)), qRgb(170, 170, 170));
    }
    constexpr int kScale = 3;
    const int width = int(answer->size()) * glyphAdvance(kScale);
    int x = (image.width() - width) / 2;
    for (qsizetype i = 0; i < answer->size(); ++i) {
        const int y = 18 + int(noise.bounded(9)) - 4;
        drawText(image, x, y, answer->mid(i, 1), kScale, QColor(30, 30, 60));
        x += glyphAdvance(kScale);
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QString CaptchaService::challengeScript(const QString& token, const QString& siteKey,
                                        const QString& server) {
    return QStringLiteral(
               "var RecaptchaState = {\n"
               "    site : '%1',\n"
               "    challenge : '%2',\n"
               "    is_incorrect : false,\n"
               "    programming_error : '',\n"
               "    error_message : '',\n"
               "    server : '%3',\n"
               "    timeout : 18000\n"
               "};\n"
               "document.write('<scr'+'ipt type=\"text/javascript\" s'+'rc=\"' + "
               "RecaptchaState.server + 'js/recaptcha.js\"></scr'+'ipt>');\n")
        .arg(siteKey, token, server);
}

}  // namespace pelloran::demo
