#pragma once
// The "Stats" screen (a row of the "More" list): the member's latest ratio, uploaded and
// downloaded with their change over 7 days, plots of the ratio and the totals over the chosen
// range (7 days, 30 days, all), pushes per day, the last pushes with their outcome, and the
// ratio guard ("Warn below ratio": a switch with a number).
//
// The activity database is read on the screen's own worker thread each time the screen appears
// or the range changes; the result comes back to the UI thread and replaces what is drawn.
// UI thread only.

#include "store/activity_stats.h"
#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QList>
#include <QThreadPool>

class QLabel;
class QLineEdit;
class QScrollArea;

namespace pelloran {

struct ChartInput;

class ActivityDatabase;
class SegmentedControl;
class ToggleSwitch;

class StatsViewController : public ViewController {
    Q_OBJECT
public:
    enum class Range { Week, Month, All };

    explicit StatsViewController(const ScreenContext& context, QWidget* parent = nullptr);
    ~StatsViewController() override;

    void viewWillAppear() override;
    // Reads the database again (off the UI thread) and redraws when the figures come.
    void reload();
    void setRange(Range range);
    Range range() const { return range_; }

    // For tests and screenshots: the figures drawn last, and whether a read is under way.
    const ActivityStats& shownStats() const { return shown_; }
    bool isReading() const { return reading_ > 0; }
    QLabel* guardLine() const { return guardLine_; }
    ToggleSwitch* guardSwitch() const { return guardSwitch_; }
    QLineEdit* guardField() const { return guardField_; }
    // The ratio plot's view; null without the charts module.
    QWidget* ratioView() const { return charts_[0].view; }

Q_SIGNALS:
    // A read came back and was drawn.
    void statsShown();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct ChartSlot {
        QLabel* title = nullptr;
        QWidget* view = nullptr;  // from the charts module; null without it
        QLabel* empty = nullptr;  // the quiet line shown instead of an empty plot
    };

    void draw(const ActivityStats& stats);
    void showFigures();
    void showGuard();
    void showPushes();
    void showChart(ChartSlot& slot, const ChartInput& input);
    void guardChanged();
    void relayout();

    ScreenContext context_;
    ActivityDatabase* database_;
    QThreadPool reader_;  // one thread: reads never overlap
    int generation_ = 0;  // the newest read asked for; older answers are dropped
    int reading_ = 0;
    Range range_ = Range::Month;
    ActivityStats shown_;

    QScrollArea* scroll_;
    QWidget* content_;
    SegmentedControl* rangeControl_;
    QList<QLabel*> figureCaptions_;
    QList<QLabel*> figureValues_;
    QList<QLabel*> figureChanges_;
    QLabel* guardLine_;
    QLabel* guardCaption_;
    QLineEdit* guardField_;
    ToggleSwitch* guardSwitch_;
    ChartSlot charts_[3];
    QLabel* pushesTitle_;
    QList<QLabel*> pushRows_;
    QLabel* noPushes_;
};

}  // namespace pelloran
