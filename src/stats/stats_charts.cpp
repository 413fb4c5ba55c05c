#include "stats/stats_charts.h"

#include "ui/colors.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QLegend>
#include <QLineSeries>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <memory>

namespace pelloran::stats_charts {

namespace {

const QColor kRatioColour(232, 163, 61);  // the header's amber
const QColor kUpColour(110, 190, 120);    // uploaded: the green of giving back
const QColor kDownColour(100, 160, 230);  // downloaded
const QColor kDuplicateColour(150, 150, 150);
constexpr qreal kLinePoints = 1.5;

QChart* darkChart(const ChartStyle& style) {
    auto* chart = new QChart();
    chart->setBackgroundBrush(colors::rowBackground());
    chart->setBackgroundRoundness(style.scale.pxF(6));
    chart->setPlotAreaBackgroundVisible(false);
    const int m = style.scale.px(2);
    chart->setMargins(QMargins(m, m, m, m));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    QLegend* legend = chart->legend();
    legend->setAlignment(Qt::AlignTop);
    legend->setLabelColor(colors::rowText());
    legend->setFont(style.labelFont);
    legend->setMarkerShape(QLegend::MarkerShapeRectangle);
    return chart;
}

void styleAxis(QAbstractAxis* axis, const ChartStyle& style) {
    axis->setLabelsColor(colors::grey(0.65));
    axis->setLabelsFont(style.labelFont);
    axis->setLinePen(QPen(colors::grey(0.4), style.scale.pxF(0.5)));
    axis->setGridLinePen(QPen(colors::grey(0.27), style.scale.pxF(0.5)));
    axis->setTitleVisible(false);
}

QDateTimeAxis* timeAxis(const QList<MemberSample>& samples, const ChartStyle& style) {
    auto* axis = new QDateTimeAxis();
    QDateTime first = samples.first().time.toLocalTime();
    QDateTime last = samples.last().time.toLocalTime();
    if (first.secsTo(last) < 3600) {
        first = first.addSecs(-1800);
        last = last.addSecs(1800);
    }
    axis->setRange(first, last);
    // A range within a few days shows hours too.
    axis->setFormat(first.daysTo(last) < 3 ? QStringLiteral("d MMM HH:mm")
                                           : QStringLiteral("d MMM"));
    axis->setTickCount(4);
    styleAxis(axis, style);
    return axis;
}

QLineSeries* line(const QString& name, const QColor& colour, const ChartStyle& style) {
    auto* series = new QLineSeries();
    series->setName(name);
    series->setPen(
        QPen(colour, style.scale.pxF(kLinePoints), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return series;
}

// A y range with a little room above and below, never a flat zero-height one.
void setRoundedRange(QValueAxis* axis, double low, double high) {
    if (!(high > low)) {
        low -= 0.5;
        high += 0.5;
    }
    const double pad = (high - low) * 0.08;
    axis->setRange(std::max(0.0, low - pad), high + pad);
    axis->setTickCount(4);
}

// A plot of `lines` against the samples' time, its y axis from `low` to `high` (with some
// room) labelled with `labelFormat`.
QChart* timeChart(std::initializer_list<QLineSeries*> lines, const QList<MemberSample>& samples,
                  const ChartStyle& style, const QString& labelFormat, double low, double high) {
    QChart* chart = darkChart(style);
    QDateTimeAxis* x = timeAxis(samples, style);
    auto* y = new QValueAxis();
    styleAxis(y, style);
    y->setLabelFormat(labelFormat);
    setRoundedRange(y, low, high);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* s : lines) {
        chart->addSeries(s);
        s->attachAxis(x);
        s->attachAxis(y);
    }
    return chart;
}

struct ByteUnit {
    double divisor;
    const char* name;
};

ByteUnit unitFor(qint64 largest) {
    static const ByteUnit units[] = {{1024.0 * 1024 * 1024 * 1024, "TB"},
                                     {1024.0 * 1024 * 1024, "GB"},
                                     {1024.0 * 1024, "MB"},
                                     {1024.0, "KB"}};
    for (const ByteUnit& u : units) {
        if (double(largest) >= u.divisor) {
            return u;
        }
    }
    return {1.0, "B"};
}

}  // namespace

QList<MemberSample> thinned(const QList<MemberSample>& samples, int maxPoints) {
    if (samples.size() <= maxPoints || maxPoints < 2) {
        return samples;
    }
    const double step = double(samples.size() - 1) / double(maxPoints - 1);
    QList<MemberSample> kept;
    kept.reserve(maxPoints);
    for (int i = 0; i < maxPoints; ++i) {
        kept.append(samples[qsizetype(std::llround(i * step))]);
    }
    return kept;
}

QChart* ratioChart(const QList<MemberSample>& samples, const ChartStyle& style) {
    std::unique_ptr<QLineSeries> series(line(QStringLiteral("Ratio"), kRatioColour, style));
    double low = 0;
    double high = 0;
    bool any = false;
    for (const MemberSample& s : thinned(samples)) {
        // A ratio the bar did not show, or showed as "Inf", has no place on the line.
        if (!s.ratio || !std::isfinite(*s.ratio)) {
            continue;
        }
        series->append(double(s.time.toMSecsSinceEpoch()), *s.ratio);
        low = any ? std::min(low, *s.ratio) : *s.ratio;
        high = any ? std::max(high, *s.ratio) : *s.ratio;
        any = true;
    }
    if (!any) {
        return nullptr;
    }
    QChart* chart =
        timeChart({series.release()}, samples, style, QStringLiteral("%.2f"), low, high);
    chart->legend()->setVisible(false);
    return chart;
}

QChart* transferChart(const QList<MemberSample>& samples, const ChartStyle& style) {
    if (samples.isEmpty()) {
        return nullptr;
    }
    const QList<MemberSample> points = thinned(samples);
    qint64 largest = 0;
    qint64 smallest = points.first().uploaded;
    for (const MemberSample& s : points) {
        largest = std::max({largest, s.uploaded, s.downloaded});
        smallest = std::min({smallest, s.uploaded, s.downloaded});
    }
    const ByteUnit unit = unitFor(largest);
    const QString unitName = QString::fromLatin1(unit.name);
    QLineSeries* up = line(QStringLiteral("Uploaded (%1)").arg(unitName), kUpColour, style);
    QLineSeries* down = line(QStringLiteral("Downloaded (%1)").arg(unitName), kDownColour, style);
    for (const MemberSample& s : points) {
        const auto at = double(s.time.toMSecsSinceEpoch());
        up->append(at, double(s.uploaded) / unit.divisor);
        down->append(at, double(s.downloaded) / unit.divisor);
    }
    return timeChart({up, down}, samples, style, QStringLiteral("%.1f"),
                     double(smallest) / unit.divisor, double(largest) / unit.divisor);
}

QChart* pushesChart(const QList<DayPushes>& days, const ChartStyle& style) {
    if (days.isEmpty()) {
        return nullptr;
    }
    // One bar per calendar day from the first push to the last, days without pushes empty.
    const QDate first = days.first().day;
    const int span = int(first.daysTo(days.last().day)) + 1;
    auto* sent = new QBarSet(QStringLiteral("Sent"));
    auto* duplicate = new QBarSet(QStringLiteral("Already there"));
    auto* failed = new QBarSet(QStringLiteral("Failed"));
    QList<qreal> sentCounts(span, 0);
    QList<qreal> duplicateCounts(span, 0);
    QList<qreal> failedCounts(span, 0);
    qint64 highest = 0;
    for (const DayPushes& d : days) {
        const qsizetype i = first.daysTo(d.day);
        sentCounts[i] = qreal(d.counts.sent);
        duplicateCounts[i] = qreal(d.counts.alreadyOnServer);
        failedCounts[i] = qreal(d.counts.failed);
        highest = std::max(highest, d.counts.sent + d.counts.alreadyOnServer + d.counts.failed);
    }
    sent->append(sentCounts);
    duplicate->append(duplicateCounts);
    failed->append(failedCounts);
    const std::pair<QBarSet*, QColor> sets[] = {
        {sent, kUpColour}, {duplicate, kDuplicateColour}, {failed, colors::warning()}};
    auto* series = new QStackedBarSeries();
    for (const auto& [set, colour] : sets) {
        set->setColor(colour);
        set->setBorderColor(colour);
        series->append(set);
    }
    series->setBarWidth(0.8);
    QChart* chart = darkChart(style);
    chart->addSeries(series);
    // Bars sit at 0, 1, 2...: a few dates are placed under them, not one per bar.
    auto* x = new QCategoryAxis();
    styleAxis(x, style);
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setRange(-0.5, span - 0.5);
    const int labels = std::min(span, 4);
    for (int k = 0; k < labels; ++k) {
        const int i = labels == 1 ? 0 : int(std::lround(double(k) * (span - 1) / (labels - 1)));
        x->append(first.addDays(i).toString(QStringLiteral("d MMM")), i);
    }
    x->setGridLineVisible(false);
    auto* y = new QValueAxis();
    styleAxis(y, style);
    y->setLabelFormat(QStringLiteral("%d"));
    y->setRange(0, double(std::max<qint64>(highest, 1)) * 1.1);
    y->setTickCount(std::min<int>(int(std::max<qint64>(highest, 1)) + 1, 4));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    return chart;
}

}  // namespace pelloran::stats_charts
