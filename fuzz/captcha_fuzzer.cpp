// The CAPTCHA challenge script address in a login page, and the token in a challenge script.

#include "fuzz_support.h"
#include "site/captcha.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    const QString text = fuzz::textOf(data, size);
    if (const std::optional<QString> url = captchaScriptUrl(text)) {
        fuzz::check(url->startsWith(QLatin1String("http://")), "the script address is http");
    }
    if (const std::optional<QString> token = captchaToken(text)) {
        fuzz::check(!token->contains(QLatin1Char('\'')), "a token ends at its quote");
        const QString picture = captchaImageUrl(QStringLiteral("captcha.example"), *token);
        fuzz::check(!picture.contains(QLatin1Char('#')) && picture.count(QLatin1Char('?')) == 1 &&
                        !picture.contains(QLatin1Char('&')),
                    "the token stays one query value");
    }
    return 0;
}
