#include "stats/chart_loader.h"

#include "store/own_module.h"

namespace pelloran {

const ChartModule& chartModule() {
    static const ChartModule module = [] {
        const QString name = QStringLiteral("pelloran_charts");
        ChartModule m;
        m.makeView = reinterpret_cast<MakeChartViewFunction>(
            ownModuleFunction(name, "pelloranMakeChartView", &m.problem));
        m.show = reinterpret_cast<ShowChartFunction>(
            ownModuleFunction(name, "pelloranShowChart", &m.problem));
        if (!m.makeView || !m.show) {
            m.makeView = nullptr;
            m.show = nullptr;
        }
        return m;
    }();
    return module;
}

}  // namespace pelloran
