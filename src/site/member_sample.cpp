#include "site/member_sample.h"

#include "site/site_context.h"
#include "store/activity_recorder.h"
#include "text/regex.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace pelloran {

namespace {

const QLatin1StringView kBarStart{"<div id=\"memberBar\">"};
// The bar is a line of a few hundred characters: the pattern never reads past this much of the
// page after its start, so a page without a proper end of bar costs no more than one with it.
constexpr qsizetype kBarWindow = 4096;

// Groups: 1 the ratio's text (may be empty), 2 and 3 uploaded number and unit, 4 and 5
// downloaded number and unit.
const QString kSamplePattern = QStringLiteral(
    R"re(^<div id="memberBar">[\s\S]*?<a href="/profile/.*?">.*?</a>[\s\S]*?</span>\s*([^<\s]*)[\s\S]*?</span>.([0-9]+(?:\.[0-9]*)?) ([KMGTP]?i?B)\b[\s\S]*?</span>.([0-9]+(?:\.[0-9]*)?) ([KMGTP]?i?B)\b)re");

}  // namespace

std::optional<double> ratioFromBarText(const QString& text) {
    if (text.compare(QLatin1StringView("inf"), Qt::CaseInsensitive) == 0 ||
        text == QStringLiteral("\u221E")) {
        return std::numeric_limits<double>::infinity();
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !std::isfinite(value) || value < 0) {
        return std::nullopt;  // "---", "N/A", nothing: the site shows no ratio
    }
    return value;
}

std::optional<qint64> bytesFromFigure(const QString& number, const QString& unit) {
    static const QLatin1StringView kPrefixes{"KMGTP"};
    qsizetype power = 0;
    if (unit != QLatin1StringView("B")) {
        const bool binary = unit.size() == 3 && unit[1] == QLatin1Char('i');
        if (!(unit.size() == 2 || binary) || !unit.endsWith(QLatin1Char('B'))) {
            return std::nullopt;
        }
        power = kPrefixes.indexOf(unit[0]) + 1;
        if (power == 0) {
            return std::nullopt;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(number, &ok);
    if (!ok || value < 0) {
        return std::nullopt;
    }
    const double bytes = std::round(value * std::pow(1024.0, double(power)));
    if (!(bytes < 9.0e18)) {
        return std::nullopt;
    }
    return static_cast<qint64>(bytes);
}

std::optional<qint64> bytesFromSizeText(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 2) {
        return std::nullopt;
    }
    return bytesFromFigure(parts[0], parts[1]);
}

std::optional<MemberSample> readMemberSample(const QString& page, const QDateTime& time) {
    const qsizetype start = page.indexOf(kBarStart);
    if (start < 0) {
        return std::nullopt;
    }
    const QStringList g =
        text::captureComponentsMatchedByRegex(page.mid(start, kBarWindow), kSamplePattern);
    if (g.size() < 6) {
        return std::nullopt;
    }
    const std::optional<qint64> up = bytesFromFigure(g[2], g[3]);
    const std::optional<qint64> down = bytesFromFigure(g[4], g[5]);
    if (!up || !down) {
        return std::nullopt;
    }
    return MemberSample{time, ratioFromBarText(g[1]), *up, *down};
}

void prepareMemberBarReading() {
    text::isValidRegex(kSamplePattern);
}

void noteMemberBar(const SiteContext& site, const QString& page) {
    if (!site.activity) {
        return;
    }
    if (std::optional<MemberSample> sample =
            readMemberSample(page, QDateTime::currentDateTimeUtc())) {
        site.activity->addSample(*sample);
    }
}

}  // namespace pelloran
