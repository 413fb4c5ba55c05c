// The member bar reader on any page bytes, through the same decoding a fetched page gets.

#include "fuzz_support.h"
#include "net/cookie_store.h"
#include "net/session.h"
#include "site/user_info.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pelloran::fuzz::boundRegexWork();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelloran;
    static CookieStore cookies;
    static Session session(QStringLiteral("http://127.0.0.1:9/user/account/login/"),
                           QStringLiteral("Login"));
    const QByteArray bytes = fuzz::bytesOf(data, size);
    UserInfo info;
    refreshMemberBar(bytes, info, NetContext{&cookies, &session});
    const std::optional<MemberBar> bar = parseMemberBar(fuzz::textOf(data, size));
    if (bar) {
        fuzz::check(bar->username == bar->username.trimmed(), "the name is trimmed");
        fuzz::check(bar->uploaded.size() >= 4 && bar->downloaded.size() >= 4,
                    "totals carry a number and a unit");
    }
    return 0;
}
