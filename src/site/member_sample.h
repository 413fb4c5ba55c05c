#pragma once
// The member bar read as figures over time: ratio as a number, transfer totals in bytes. Laxer
// than the header's reading (user_info.h), which keeps the text as printed: a bar whose ratio
// is "Inf", "---" or missing, or whose totals are in plain bytes, still gives a sample.
//
// Pure and thread-safe, except noteMemberBar(), which hands the sample to the recorder.

#include "store/activity_records.h"

#include <QDateTime>
#include <QString>
#include <optional>

namespace pelloran {

struct SiteContext;

// "120.5" and "GB" as bytes (units B, KB, MB, GB, TB, PB, and the "KiB" forms, each 1024 times
// the one before); absent when either can't be read.
std::optional<qint64> bytesFromFigure(const QString& number, const QString& unit);
// "700.5 MB" as bytes; absent when it isn't a number and a unit.
std::optional<qint64> bytesFromSizeText(const QString& text);

// The bar's ratio as a number: +infinity for "Inf" (or "\u221E"); absent for "---", "" and
// anything else that is not a ratio.
std::optional<double> ratioFromBarText(const QString& text);

// The sample the page's member bar gives, taken at `time`; absent without a bar.
std::optional<MemberSample> readMemberSample(const QString& page, const QDateTime& time);

// Hands the page's sample, taken now, to the site context's recorder, when it has one and the
// page has a bar. Called on fetch threads, after a page of the site arrived.
void noteMemberBar(const SiteContext& site, const QString& page);

// Compiles the bar's pattern (ICU's first start with it) now, so that the first page read
// doesn't pay for it after its exchange: for a thread that would otherwise wait for the page.
void prepareMemberBarReading();

}  // namespace pelloran
