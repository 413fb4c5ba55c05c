// Judging a sign-in answer from any page bytes: text decoding, the page title, the login page
// test and the failure markers.

#include "fuzz_support.h"
#include "net/cookie_store.h"
#include "net/session.h"
#include "site/sign_in.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    static CookieStore cookies;
    static Session session(QStringLiteral("http://127.0.0.1:9/user/account/login/"),
                           QStringLiteral("Login :: Pelloran Tracker"));
    const std::optional<QString> text = HttpRequest::decodeText(fuzz::bytesOf(data, size));
    const QStringList title =
        text ? text::captureComponentsMatchedByRegex(*text, QString(kTitlePattern)) : QStringList();
    fuzz::check(title.isEmpty() || title.size() == 2, "the title pattern has one group");
    const bool loginPage = session.isLoginHeader(text);
    fuzz::check(text || (loginPage && hasCaptchaRequest(text) && isInvalidUsername(text) &&
                         isInvalidCaptcha(text)),
                "a body that isn't text counts as the login page asking for everything");
    HttpRequest answer(QStringLiteral("http://127.0.0.1:9/user/account/login/"),
                       NetContext{&cookies, &session});
    answer.setResult(text);
    const SignInVerdict verdict = judgeSignIn(answer, session);
    fuzz::check(!verdict.ok && verdict.message == kConnectionErrorMessage,
                "no response is a connection error");
    return 0;
}
