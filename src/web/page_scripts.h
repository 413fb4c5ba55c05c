#pragma once
// The scripts the web screens run in a page once it has loaded.

#include <QString>

namespace pelloran::web {

// Profile pages: every link loses its address, so none can be followed.
extern const QString kLinkScript;

// Details pages: links that would open a new window open in place, and links to .torrent files
// lose their address (the toolbar's download button sends the torrent instead). A link without
// an address is passed over, so every link after it is still treated.
extern const QString kTorrentScript;

}  // namespace pelloran::web
