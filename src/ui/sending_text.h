#pragma once
// The sending overlay's text, "Sending %@ torrent%@ to server": with no number and no plural
// (two spaces after "Sending") for a single push, with the count and "s" for more.

#include <QString>

namespace pelloran {

// The text when the member taps a download button while `countBefore` pushes are outstanding.
QString sendingTextOnTap(int countBefore);
// The text when a push finishes and `countAfter` pushes are still outstanding.
QString sendingTextOnFinish(int countAfter);

}  // namespace pelloran
