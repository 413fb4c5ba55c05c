#include "site/user_info.h"

#include "net/cookie_store.h"
#include "text/regex.h"

namespace pelloran {

namespace {

const QString kMemberBarPattern = QStringLiteral(
    R"re(<div id="memberBar">[\s\S]*?<a href="/profile/.*?">(.*?)</a>[\s\S]*?</span>([0-9]+(?:\.[0-9]*)?)[\s\S]*?</span>.([0-9]+(?:\.[0-9]*)?) (.B)[\s\S]*?</span>.([0-9]+(?:\.[0-9]*)?) (.B))re");
const QString kStyledNamePattern = QStringLiteral("<span .*?>(.*?)<.*");

// ASCII first, then UTF-8: the member bar is plain text on most pages.
std::optional<QString> decodeAsciiThenUtf8(const QByteArray& bytes) {
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) > 0x7F) {
            ascii = false;
            break;
        }
    }
    if (ascii) {
        return QString::fromLatin1(bytes);
    }
    return HttpRequest::decodeText(bytes);
}

}  // namespace

std::optional<MemberBar> parseMemberBar(const QString& page) {
    const QStringList g = text::captureComponentsMatchedByRegex(page, kMemberBarPattern);
    if (g.size() < 7) {
        return std::nullopt;
    }
    MemberBar bar;
    const std::optional<QString> styled = text::stringByMatching(g[1], kStyledNamePattern, 1);
    bar.username = styled.value_or(g[1]).trimmed();
    bar.ratio = g[2];
    bar.uploaded = g[3] + QLatin1Char(' ') + g[4];
    bar.downloaded = g[5] + QLatin1Char(' ') + g[6];
    return bar;
}

HttpRequestRegExUserInfo::HttpRequestRegExUserInfo(UserInfo& userInfo, const NetContext& net)
    : HttpRequest(QString(), net), userInfo_(userInfo) {}

void HttpRequestRegExUserInfo::request() {
    setResult(decodeAsciiThenUtf8(responseData()));
    if (!result()) {
        return;
    }
    const std::optional<MemberBar> bar = parseMemberBar(*result());
    if (!bar) {
        return;
    }
    if (net().cookies) {
        for (const Cookie& cookie : net().cookies->cookies()) {
            if (cookie.name == QLatin1StringView("qauid")) {
                userInfo_.setIds(cookie.value);
            }
        }
    }
    userInfo_.setUsername(bar->username);
    userInfo_.setRatio(bar->ratio);
    userInfo_.setUploaded(bar->uploaded);
    userInfo_.setDownloaded(bar->downloaded);
}

void refreshMemberBar(const QByteArray& responseData, UserInfo& userInfo, const NetContext& net) {
    HttpRequestRegExUserInfo reader(userInfo, net);
    reader.setResponseData(responseData);
    reader.request();
}

}  // namespace pelloran
