#include "net/cookie_lines.h"

namespace pelloran {

namespace {

constexpr char kHttpOnlyPrefix[] = "#HttpOnly_";
constexpr char kFileHeader[] =
    "# Netscape HTTP Cookie File\n# Written by Pelloran. Holds session cookies: keep private.\n\n";

// The form libcurl keeps: no leading dots in the name, one "." added back for domain cookies.
Cookie canonical(Cookie c) {
    while (c.domain.startsWith(QLatin1Char('.'))) {
        c.domain.remove(0, 1);
    }
    if (c.includeSubdomains) {
        c.domain.prepend(QLatin1Char('.'));
    }
    return c;
}

// libcurl replaces a cookie by one whose domain, path and name differ only in letter case, so
// those are one cookie here too.
QString keyOf(const Cookie& c) {
    return c.domain.toLower() + QLatin1Char('\t') + c.path.toLower() + QLatin1Char('\t') +
           c.name.toLower();
}

}  // namespace

std::optional<Cookie> parseCookieLine(const QByteArray& rawLine) {
    QByteArray line = rawLine;
    Cookie c;
    if (line.startsWith(kHttpOnlyPrefix)) {
        c.httpOnly = true;
        line = line.mid(static_cast<qsizetype>(sizeof(kHttpOnlyPrefix) - 1));
    }
    const QList<QByteArray> f = line.split('\t');
    if (f.size() < 7) {
        return std::nullopt;
    }
    c.domain = QString::fromUtf8(f[0]);
    c.includeSubdomains = f[1] == "TRUE";
    c.path = QString::fromUtf8(f[2]);
    c.secure = f[3] == "TRUE";
    c.expires = f[4].toLongLong();
    c.name = QString::fromUtf8(f[5]);
    c.value = QString::fromUtf8(f[6]);
    return c;
}

QByteArray formatCookieLine(const Cookie& c) {
    QByteArray line;
    if (c.httpOnly) {
        line += kHttpOnlyPrefix;
    }
    line += c.domain.toUtf8() + '\t' + (c.includeSubdomains ? "TRUE" : "FALSE") + '\t' +
            c.path.toUtf8() + '\t' + (c.secure ? "TRUE" : "FALSE") + '\t' +
            QByteArray::number(c.expires) + '\t' + c.name.toUtf8() + '\t' + c.value.toUtf8();
    return line;
}

bool isExpired(const Cookie& c, qint64 now) {
    return c.expires != 0 && c.expires < now;
}

CookieMap cookieMapOfLines(const QList<QByteArray>& lines, qint64 now) {
    CookieMap map;
    for (const QByteArray& line : lines) {
        const std::optional<Cookie> c = parseCookieLine(line);
        if (!c || c->name.isEmpty() || c->domain.isEmpty() || isExpired(*c, now)) {
            continue;
        }
        const Cookie same = canonical(*c);
        map.insert(keyOf(same), formatCookieLine(same));  // a later line replaces an earlier one
    }
    return map;
}

CookieFileContent parseCookieFile(const QByteArray& content, qint64 now) {
    QList<QByteArray> lines;
    bool anyContent = false;
    bool anyCookie = false;
    for (QByteArray line : content.split('\n')) {
        // Only the line's end goes: a trailing tab is the value of a cookie whose value is "".
        while (line.endsWith('\r')) {
            line.chop(1);
        }
        const QByteArray bare = line.trimmed();
        if (bare.isEmpty() || (bare.startsWith('#') && !bare.startsWith(kHttpOnlyPrefix))) {
            continue;
        }
        anyContent = true;
        // curl reads a line up to its first NUL: such a line would load as another cookie.
        if (line.contains('\0')) {
            continue;
        }
        const std::optional<Cookie> c = parseCookieLine(line);
        // A cookie names its host: one whose domain is only dots would be saved with an empty
        // host, which curl's reader skips, and one written with two leading dots is not a
        // domain any server set (curl would drop a dot at every load).
        if (c && !c->name.isEmpty() && !c->domain.startsWith(QLatin1String("..")) &&
            !canonical(*c).domain.remove(QLatin1Char('.')).isEmpty()) {
            anyCookie = true;  // expired ones too: the file is a cookies file all the same
            lines.append(line);
        }
    }
    return {cookieMapOfLines(lines, now), anyContent && !anyCookie};
}

QByteArray formatCookieFile(const CookieMap& cookies) {
    QByteArray content(kFileHeader);
    for (const QByteArray& line : cookies) {
        content += line + '\n';
    }
    return content;
}

}  // namespace pelloran
