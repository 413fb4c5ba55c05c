// The pelloran_charts module: the Stats screen's plots with Qt Charts (chart_loader.h).

#include "stats/chart_loader.h"
#include "stats/stats_charts.h"

#include <QChart>
#include <QChartView>
#include <QFrame>
#include <QPainter>

extern "C" Q_DECL_EXPORT QWidget* pelloranMakeChartView(QWidget* parent) {
    auto* view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setFrameShape(QFrame::NoFrame);
    view->setStyleSheet(QStringLiteral("background: transparent;"));
    view->setAttribute(Qt::WA_TransparentForMouseEvents);  // the page scrolls over it
    return view;
}

extern "C" Q_DECL_EXPORT bool pelloranShowChart(QWidget* view, const pelloran::ChartInput& input) {
    using namespace pelloran;
    auto* chartView = qobject_cast<QChartView*>(view);
    if (!chartView) {
        return false;
    }
    const stats_charts::ChartStyle style{UiScale(input.scale), input.labelFont};
    QChart* chart = nullptr;
    switch (input.kind) {
        case ChartKind::Ratio:
            chart = stats_charts::ratioChart(input.samples, style);
            break;
        case ChartKind::Transfer:
            chart = stats_charts::transferChart(input.samples, style);
            break;
        case ChartKind::Pushes:
            chart = stats_charts::pushesChart(input.days, style);
            break;
    }
    if (!chart) {
        return false;
    }
    QChart* old = chartView->chart();
    chartView->setChart(chart);  // the view owns it now
    delete old;                  // setChart leaves the previous chart to its caller
    return true;
}
