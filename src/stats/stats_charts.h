#pragma once
// The Stats screen's plots, built from what the activity log gave: ratio over time, uploaded and
// downloaded over time, and pushes per day as stacked bars. Dark like the app, fonts and lines
// at the window's scale. A long range is thinned to about two points per pixel of width before
// it reaches the chart, so a year of samples draws as fast as a week. UI thread only. Built
// into the pelloran_charts module (chart_loader.h), not the app: see there why.

#include "store/activity_stats.h"
#include "ui/ui_scale.h"

#include <QFont>
#include <QList>

class QChart;

namespace pelloran::stats_charts {

// At most this many points per line, whatever the range holds.
inline constexpr int kMaxPoints = 800;

// How the plots are drawn at the window's scale: lines and margins in points of `scale`, every
// label in `labelFont`.
struct ChartStyle {
    UiScale scale;
    QFont labelFont;
};

// Every `step`-th sample and the last one, so the newest figure is always drawn.
QList<MemberSample> thinned(const QList<MemberSample>& samples, int maxPoints = kMaxPoints);

// Each chart is new, without a parent: the caller hands it to a QChartView. Null when there is
// nothing to draw (the screen says so in one line instead).
QChart* ratioChart(const QList<MemberSample>& samples, const ChartStyle& style);
QChart* transferChart(const QList<MemberSample>& samples, const ChartStyle& style);
QChart* pushesChart(const QList<DayPushes>& days, const ChartStyle& style);

}  // namespace pelloran::stats_charts
