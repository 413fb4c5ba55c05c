#pragma once
// The member bar every signed-in page carries (name, ratio, uploaded and downloaded totals) and
// the member's numeric site id from the "qauid" cookie: one record for the whole program,
// written on fetch threads and read on the UI thread, each field whole.

#include "net/http_request.h"
#include "site/atomic_value.h"

#include <QString>
#include <optional>

namespace pelloran {

class CookieStore;

class UserInfo {
public:
    using Text = std::optional<QString>;
    Text ids() const { return ids_.get(); }
    Text username() const { return username_.get(); }
    Text ratio() const { return ratio_.get(); }
    Text uploaded() const { return uploaded_.get(); }
    Text downloaded() const { return downloaded_.get(); }

    void setIds(Text v) { ids_.set(std::move(v)); }
    void setUsername(Text v) { username_.set(std::move(v)); }
    void setRatio(Text v) { ratio_.set(std::move(v)); }
    void setUploaded(Text v) { uploaded_.set(std::move(v)); }
    void setDownloaded(Text v) { downloaded_.set(std::move(v)); }

private:
    AtomicValue<Text> ids_, username_, ratio_, uploaded_, downloaded_;
};

struct MemberBar {
    QString username;  // trimmed; the text inside a styled span when the link wraps one
    QString ratio;
    QString uploaded;    // "120.5 GB"
    QString downloaded;  // "97.66 GB"
};

// The member bar of a page, or absent when the page has none.
std::optional<MemberBar> parseMemberBar(const QString& page);

// Reads the member bar from bytes another request fetched; performs no exchange of its own.
// The record changes only when the bar is found; then `ids` takes the value of the last
// "qauid" cookie in the store, when there is one.
class HttpRequestRegExUserInfo : public HttpRequest {
public:
    HttpRequestRegExUserInfo(UserInfo& userInfo, const NetContext& net);
    void request() override;
    UserInfo& userInfo() const { return userInfo_; }

private:
    UserInfo& userInfo_;
};

// Refreshes `userInfo` from a page's bytes (the common use of the reader above).
void refreshMemberBar(const QByteArray& responseData, UserInfo& userInfo, const NetContext& net);

}  // namespace pelloran
