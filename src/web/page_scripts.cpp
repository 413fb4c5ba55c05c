#include "web/page_scripts.h"

namespace pelloran::web {

const QString kLinkScript = QStringLiteral(
    "\tvar d = document.getElementsByTagName('a');"
    "\tfor (var i = 0; i < d.length; i++) {"
    "\td[i].removeAttribute('href');"
    "\t}\t");

const QString kTorrentScript = QStringLiteral(
    "\tvar d = document.getElementsByTagName('a');"
    "\tfor (var i = 0; i < d.length; i++) {"
    "\tif (d[i].getAttribute('target') == '_blank') {"
    "\td[i].removeAttribute('target');"
    "\t}"
    "\tvar href = d[i].getAttribute('href');"
    "\tif (href !== null && href.match(/torrent$/)) {"
    "\td[i].removeAttribute('href');"
    "\t}"
    "\t}\t");

}  // namespace pelloran::web
