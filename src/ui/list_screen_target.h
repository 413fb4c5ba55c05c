#pragma once
// What a screen opened from a torrent list (details, profile, and the web tabs, whose target is
// the browse list) reports back to that list. The list implements it; the web screens only call
// it. UI thread only.

namespace pelloran {

class ListScreenTarget {
public:
    virtual ~ListScreenTarget() = default;
    // The details page's download button: sends the list's row `tag` exactly as that row's own
    // download button does (a row without a download path sends nothing).
    virtual void didTapDownloadButton(int tag) = 0;
    // A page finished loading in a screen this list opened: the list takes row selection again
    // and the tab bar items are enabled again.
    virtual void webPageLoaded() = 0;
};

}  // namespace pelloran
