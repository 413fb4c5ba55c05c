#pragma once
// The page fetches of the web screens, run on a screen's own queue. Each visit is one member
// action: its exchanges, and a wait for a silent re-login, end within kActionTimeLimit
// (deadline.h), counted from when the fetch starts; a fetch that runs out delivers no page.

#include "net/fetch_page.h"
#include "site/site_context.h"

#include <QString>
#include <optional>

namespace pelloran::web {

// A torrent's details page, cut down, and its movie database link.
struct DetailsPage {
    std::optional<QString> page;
    std::optional<QString> imdb;
};

class FetchPageDetails : public FetchPageWith<DetailsPage> {
public:
    FetchPageDetails(const QString& url, const SiteContext& site, QObject* context,
                     Callback callback);

protected:
    void main() override;

private:
    SiteContext site_;
};

enum class PageKind {
    Profile,  // a member profile, cut down
    Forum,    // a forum page, fetched as a phone
    Plain,    // any page as it is
};

// A page of the given kind; delivers its text (absent when none came).
std::unique_ptr<FetchPageGeneric> makePageFetch(const QString& url, PageKind kind,
                                                const SiteContext& site, QObject* context,
                                                FetchPageGeneric::Callback callback);

}  // namespace pelloran::web
