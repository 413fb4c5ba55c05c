#pragma once
// ICU regular expressions as a client uses them: default flags, every match with its groups.

#include <QString>
#include <QStringList>
#include <vector>

namespace pelloran::demo::test {

// Each match: the whole match, then every group ("" for a group that took no part).
std::vector<QStringList> icuMatches(const QString& subject, const QString& pattern);
// The first match, or an empty list.
QStringList icuFirstMatch(const QString& subject, const QString& pattern);
// Every match of the pattern replaced by the empty text.
QString icuRemoveAll(const QString& subject, const QString& pattern);

// The patterns a client applies to the site's pages.
inline const QString kRowPattern = QStringLiteral(
    "<tr.*id=.*>[\\s\\S]*?<td[\\s\\S]*?img alt=\"Category\" "
    "src=\".*/images/categories/(.*?)\"[\\s\\S]*?"
    "<a href=\"(.*?)\">(.*?)</a>[\\s\\S]*? on (.*?)</td>[\\s\\S]*?<a href=\"(.*?)\">[\\s\\S]*?</td>"
    "[\\s\\S]*?</td>[\\s\\S]*?<td>(.*?) ([G|M]B)</td>[\\s\\S]*?<td>[\\s\\S]*?<td.*?>(.*?)</td>"
    "[\\s\\S]*?<td.*?>(.*?)</td>");
inline const QString kMemberBarPattern = QStringLiteral(
    "<div id=\"memberBar\">[\\s\\S]*?<a href=\"/profile/.*?\">(.*?)</a>[\\s\\S]*?</span>"
    "([0-9]+(?:\\.[0-9]*)?)[\\s\\S]*?</span>.([0-9]+(?:\\.[0-9]*)?) (.B)[\\s\\S]*?</span>."
    "([0-9]+(?:\\.[0-9]*)?) (.B)");
inline const QString kSnatchPattern = QStringLiteral(
    "<a "
    "href=\\\\\"(\\\\/torrent\\\\/.*?)\\\\\">(.*?)<\\\\/a>\",\"(.*?)\",\".*?\",\"(.*?)\",\"(.*?)\","
    "(.*?),.*?,.*?,\"(.*?)\"");
inline const QString kDetailsCutPattern = QStringLiteral(
    "([\\s\\S]*</head>[\\s\\S]*?)<div id=\"middle\">[\\s\\S]*</div>[\\s\\S]*?(<div "
    "id=\"torrent\">[\\s\\S]*)");
inline const QString kProfileCutPattern = QStringLiteral(
    "([\\s\\S]*</head>[\\s\\S]*?)<div id=\"middle\">[\\s\\S]*</div>[\\s\\S]*?(<div "
    "id=\"profile\">[\\s\\S]*)");
inline const QString kTitlePattern = QStringLiteral("<title>(.*)</title>");
inline const QString kCaptchaScriptPattern = QStringLiteral(
    "<script "
    "type=\"text/javascript\"[\\s\\S]*?src=\"(http://.*recaptcha/api/challenge.*)\">[\\s\\S]*?</"
    "script>");
inline const QString kChallengePattern = QStringLiteral("challenge[ ]*:[ ]*'(.*?)'");

}  // namespace pelloran::demo::test
