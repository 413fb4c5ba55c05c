#pragma once
// The Stats screen's plots come from a module of their own, pelloran_charts: Qt Charts brings
// Qt's OpenGL libraries with it, and loading them made every start of the app a few
// milliseconds slower, though only the Stats tab draws plots. The module is loaded when the
// Stats screen is first made (store/own_module.h); without it the screen shows its figures and
// says why the plots are missing. UI thread only.

#include "store/activity_log.h"
#include "store/activity_records.h"

#include <QFont>
#include <QList>
#include <QString>

class QWidget;

namespace pelloran {

enum class ChartKind { Ratio, Transfer, Pushes };

// What one plot shows, and how: lines and margins in points times `scale`, labels in
// `labelFont`.
struct ChartInput {
    ChartKind kind = ChartKind::Ratio;
    QList<MemberSample> samples;  // Ratio and Transfer
    QList<DayPushes> days;        // Pushes
    qreal scale = 1;
    QFont labelFont;
};

// The module's two functions: a new, empty plot view (a child of `parent`), and the plot of
// `input` drawn into such a view, replacing the one it showed; false, leaving the view as it
// was, when there is nothing to draw.
using MakeChartViewFunction = QWidget* (*)(QWidget* parent);
using ShowChartFunction = bool (*)(QWidget* view, const ChartInput& input);

struct ChartModule {
    MakeChartViewFunction makeView = nullptr;  // both null when the module can't be used
    ShowChartFunction show = nullptr;
    QString problem;  // why, then
};

// The module's functions, loaded the first time.
const ChartModule& chartModule();

}  // namespace pelloran
