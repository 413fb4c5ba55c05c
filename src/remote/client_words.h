#pragma once
// A client's own words from one of its answers, fit for an alert: the member reads why the
// client refused a category, a path or a label, as the client put it. Pure.

#include <QString>

namespace pelloran {

class HttpRequest;

// At most this many characters of a client's text reach the member.
inline constexpr qsizetype kClientWordsLimit = 200;

// The answer's text with markup left out and white space folded, cut to kClientWordsLimit;
// "HTTP status N" when it has no text, "no answer" when nothing came.
QString clientWords(const HttpRequest& request);
// The same for a text the client gave inside an answer (a JSON error message).
QString clientWords(const QString& text);

}  // namespace pelloran
