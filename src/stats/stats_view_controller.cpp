#include "stats/stats_view_controller.h"

#include "settings/settings_layout.h"
#include "stats/chart_loader.h"
#include "store/activity_database.h"
#include "store/activity_log.h"
#include "store/activity_recorder.h"
#include "store/ratio_guard.h"
#include "store/settings_keys.h"
#include "store/settings_store.h"
#include "ui/colors.h"
#include "ui/segmented_control.h"
#include "ui/toggle_switch.h"
#include "ui/ui_scale.h"

#include <QDoubleValidator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScrollArea>
#include <cmath>

namespace pelloran {

namespace {

constexpr qreal kMargin = 10;
constexpr qreal kLastPushes = 10;
constexpr int kChangeDays = 7;
constexpr qreal kPlotLabelPoints = 9;
const QString kDefaultThreshold = QStringLiteral("1");

QString labelStyle(const QColor& colour) {
    return QStringLiteral("color: %1; background: transparent;").arg(colour.name());
}

QLabel* makeLabel(QWidget* parent, const QColor& colour) {
    auto* label = new QLabel(parent);
    label->setStyleSheet(labelStyle(colour));
    return label;
}

QColor outcomeColour(PushResult result) {
    switch (result) {
        case PushResult::Sent:
            return QColor(110, 190, 120);
        case PushResult::AlreadyOnServer:
            return colors::grey(0.6);
        case PushResult::Failed:
            break;
    }
    return colors::warning();
}

}  // namespace

StatsViewController::StatsViewController(const ScreenContext& context, QWidget* parent)
    : ViewController(parent),
      context_(context),
      database_(context.site.activity ? &context.site.activity->database() : nullptr),
      scroll_(new QScrollArea(this)),
      content_(new QWidget()),
      rangeControl_(new SegmentedControl(
          {QStringLiteral("7 days"), QStringLiteral("30 days"), QStringLiteral("All")}, content_)),
      guardLine_(makeLabel(content_, colors::warning())),
      guardCaption_(makeLabel(content_, Qt::white)),
      guardField_(new QLineEdit(content_)),
      guardSwitch_(new ToggleSwitch(content_)),
      pushesTitle_(makeLabel(content_, colors::grey(0.6))),
      noPushes_(makeLabel(content_, colors::grey(0.55))) {
    setTitle(QStringLiteral("Stats"));
    setTabBarItem(QStringLiteral("Stats"), QStringLiteral("tabbar-stats.png"));
    settings_layout::styleScrollArea(scroll_, content_);
    reader_.setMaxThreadCount(1);
    rangeControl_->setSelectedIndex(int(range_));
    connect(rangeControl_, &SegmentedControl::segmentChosen, this,
            [this](int index) { setRange(Range(index)); });

    const QString captions[] = {QStringLiteral("Ratio"), QStringLiteral("Uploaded"),
                                QStringLiteral("Downloaded")};
    for (const QString& caption : captions) {
        QLabel* c = makeLabel(content_, colors::grey(0.6));
        c->setText(caption);
        figureCaptions_.append(c);
        figureValues_.append(makeLabel(content_, Qt::white));
        figureChanges_.append(makeLabel(content_, colors::grey(0.6)));
    }
    figureValues_[0]->setStyleSheet(labelStyle(QColor(232, 163, 61)));

    guardLine_->setWordWrap(true);
    guardLine_->hide();
    guardCaption_->setText(QStringLiteral("Warn below ratio"));
    guardField_->setValidator(
        new QDoubleValidator(kMinWarnBelowRatio, kMaxWarnBelowRatio, 2, guardField_));
    guardField_->setAlignment(Qt::AlignCenter);
    guardField_->setAccessibleName(QStringLiteral("Warn below ratio"));
    guardSwitch_->setAccessibleName(QStringLiteral("Warn below ratio"));
    connect(guardSwitch_, &ToggleSwitch::toggled, this, [this] { guardChanged(); });
    connect(guardField_, &QLineEdit::editingFinished, this, [this] { guardChanged(); });

    const QString chartTitles[] = {QStringLiteral("Ratio"),
                                   QStringLiteral("Uploaded and downloaded"),
                                   QStringLiteral("Pushes per day")};
    for (int i = 0; i < 3; ++i) {
        ChartSlot& slot = charts_[i];
        slot.title = makeLabel(content_, colors::grey(0.6));
        slot.title->setText(chartTitles[i]);
        const ChartModule& charts = chartModule();
        slot.view = charts.makeView ? charts.makeView(content_) : nullptr;
        if (slot.view) {
            slot.view->hide();
        }
        slot.empty = makeLabel(content_, colors::grey(0.55));
        slot.empty->setWordWrap(true);
        slot.empty->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        slot.empty->setText(!slot.view ? QStringLiteral("No plots: %1.").arg(charts.problem)
                            : i == 2   ? QStringLiteral("No pushes in this range.")
                                       : QStringLiteral("No figures recorded in this range yet."));
    }
    pushesTitle_->setText(QStringLiteral("Last pushes"));
    noPushes_->setText(QStringLiteral("No pushes recorded yet."));
    showGuard();
    showFigures();
}

StatsViewController::~StatsViewController() {
    // A read under way uses the database the services own: it ends before the screen does.
    reader_.waitForDone();
}

void StatsViewController::viewWillAppear() {
    reload();
}

void StatsViewController::setRange(Range range) {
    range_ = range;
    rangeControl_->setSelectedIndex(int(range));
    reload();
}

void StatsViewController::reload() {
    if (!database_) {
        return;
    }
    const int generation = ++generation_;
    ++reading_;
    StatsQuery query;
    if (range_ != Range::All) {
        query.days = range_ == Range::Week ? 7 : 30;
    }
    query.changeSpans = {kChangeDays};
    query.withPushesPerDay = true;
    query.lastPushes = int(kLastPushes);
    ActivityDatabase* database = database_;
    reader_.start([this, database, query, generation] {
        const ActivityStats stats = readActivityStats(ActivityLog(*database), query);
        // Queued to this screen: dropped by Qt if the screen is gone by then.
        QMetaObject::invokeMethod(
            this,
            [this, stats, generation] {
                --reading_;
                if (generation == generation_) {
                    draw(stats);
                }
            },
            Qt::QueuedConnection);
    });
}

void StatsViewController::draw(const ActivityStats& stats) {
    shown_ = stats;
    const UiScale s = UiScale::of(this);
    ChartInput input;
    input.samples = stats.samples;
    input.days = stats.pushesPerDay;
    input.scale = s.factor();
    input.labelFont = s.font(FontFace::Arial, kPlotLabelPoints);
    for (const ChartKind kind : {ChartKind::Ratio, ChartKind::Transfer, ChartKind::Pushes}) {
        input.kind = kind;
        showChart(charts_[int(kind)], input);
    }
    showFigures();
    showGuard();
    showPushes();
    relayout();
    Q_EMIT statsShown();
}

void StatsViewController::showChart(ChartSlot& slot, const ChartInput& input) {
    const bool drawn = slot.view && chartModule().show(slot.view, input);
    if (slot.view) {
        slot.view->setVisible(drawn);
    }
    slot.empty->setVisible(!drawn);
}

void StatsViewController::showFigures() {
    const std::optional<MemberSample>& latest = shown_.latest;
    const std::optional<SampleChange> change =
        shown_.changes.isEmpty() ? std::nullopt : shown_.changes.first();
    const QString none = QStringLiteral("\u2013");
    figureValues_[0]->setText(latest && latest->ratio ? ratioText(*latest->ratio) : none);
    figureValues_[1]->setText(latest ? byteSizeText(latest->uploaded) : none);
    figureValues_[2]->setText(latest ? byteSizeText(latest->downloaded) : none);
    const QString days = QStringLiteral(" in %1 days").arg(kChangeDays);
    figureChanges_[0]->setText(change && change->ratio ? ratioChangeText(change->ratio) + days
                                                       : QString());
    figureChanges_[1]->setText(change ? byteChangeText(change->uploaded) + days : QString());
    figureChanges_[2]->setText(change ? byteChangeText(change->downloaded) + days : QString());
}

void StatsViewController::showGuard() {
    SettingsStore& settings = *context_.site.settings;
    const std::optional<double> threshold = warnBelowRatio(settings);
    {
        const QSignalBlocker blockSwitch(guardSwitch_);
        guardSwitch_->setChecked(threshold.has_value());
    }
    if (threshold && !guardField_->hasFocus()) {
        guardField_->setText(ratioText(*threshold));
    } else if (guardField_->text().isEmpty()) {
        guardField_->setText(kDefaultThreshold);
    }
    const std::optional<RatioGuardHold> hold = ratioGuardHold(threshold, shown_.latest);
    figureValues_[0]->setStyleSheet(labelStyle(hold ? colors::warning() : QColor(232, 163, 61)));
    guardLine_->setVisible(hold.has_value());
    if (hold) {
        guardLine_->setText(ratioGuardSentence(*hold) +
                            QStringLiteral(" The automatic push holds back new torrents until "
                                           "it is back up."));
    }
}

void StatsViewController::guardChanged() {
    SettingsStore& settings = *context_.site.settings;
    const std::optional<QString> value = warnBelowRatioSetting(
        guardField_->text().isEmpty() ? kDefaultThreshold : guardField_->text());
    if (!value) {
        guardField_->setText(kDefaultThreshold);
    }
    settings.setValue(keys::warnBelowRatio,
                      guardSwitch_->isChecked() ? value.value_or(kDefaultThreshold) : QString());
    settings.flush();
    showGuard();
    relayout();
}

void StatsViewController::showPushes() {
    qDeleteAll(pushRows_);
    pushRows_.clear();
    const UiScale s = UiScale::of(this);
    for (const PushRecord& p : shown_.lastPushes) {
        auto* row = new QLabel(content_);
        row->setTextFormat(Qt::RichText);
        row->setStyleSheet(labelStyle(Qt::white));
        row->setText(
            QStringLiteral("%1<br><span style=\"color:%2\">%3</span>"
                           "<span style=\"color:%4\"> \u00B7 %5 \u00B7 %6</span>")
                .arg(p.name.toHtmlEscaped(), outcomeColour(p.result).name(),
                     pushOutcomeText(p).toHtmlEscaped(), colors::grey(0.55).name(),
                     QLocale::c().toString(p.time.toLocalTime(), QStringLiteral("d MMM HH:mm")),
                     pushOriginText(p.origin)));
        row->setFont(s.font(FontFace::Arial, 12));
        row->show();
        pushRows_.append(row);
    }
    noPushes_->setVisible(pushRows_.isEmpty());
}

void StatsViewController::resizeEvent(QResizeEvent* event) {
    ViewController::resizeEvent(event);
    relayout();
}

void StatsViewController::relayout() {
    const UiScale s = UiScale::of(this);
    scroll_->setGeometry(rect());
    const int width = scroll_->viewport()->width();
    const qreal w = s.points(width);
    const qreal inner = w - 2 * kMargin;
    qreal y = 10;
    const auto place = [&s](QWidget* widget, qreal x, qreal top, qreal wd, qreal h) {
        widget->setGeometry(s.rect(x, top, wd, h));
    };
    rangeControl_->setMaxPerRow(3);
    place(rangeControl_, kMargin, y, inner, SegmentedControl::kRowHeightPoints);
    y += SegmentedControl::kRowHeightPoints + 12;

    const qreal column = inner / 3;
    for (int i = 0; i < 3; ++i) {
        const qreal x = kMargin + i * column;
        figureCaptions_[i]->setFont(s.font(FontFace::Arial, 11));
        figureValues_[i]->setFont(s.font(FontFace::ArialBold, 17));
        figureChanges_[i]->setFont(s.font(FontFace::Arial, 10));
        place(figureCaptions_[i], x, y, column - 4, 14);
        place(figureValues_[i], x, y + 14, column - 4, 22);
        place(figureChanges_[i], x, y + 36, column - 4, 14);
    }
    y += 58;

    if (guardLine_->isVisible()) {
        guardLine_->setFont(s.font(FontFace::Arial, 12));
        const int h = guardLine_->heightForWidth(s.px(inner));
        guardLine_->setGeometry(s.px(kMargin), s.px(y), s.px(inner), h);
        y += s.points(h) + 8;
    }
    guardCaption_->setFont(s.font(FontFace::System, 15));
    place(guardCaption_, kMargin, y, inner - 130, ToggleSwitch::kHeightPoints);
    guardField_->setFont(s.font(FontFace::Arial, 15));
    guardField_->setStyleSheet(
        QStringLiteral("QLineEdit { color: white; background: %1; border: 1px solid %2; "
                       "border-radius: %3px; } QLineEdit:focus { border-color: #e8a33d; }")
            .arg(colors::grey(0.13).name(), colors::grey(0.4).name())
            .arg(s.px(5)));
    place(guardField_, kMargin + inner - 125, y, 64, ToggleSwitch::kHeightPoints);
    place(guardSwitch_, kMargin + inner - ToggleSwitch::kWidthPoints, y, ToggleSwitch::kWidthPoints,
          ToggleSwitch::kHeightPoints);
    y += ToggleSwitch::kHeightPoints + 14;

    // Taller plots when the window is wider, never taller than a phone screen's half.
    const qreal plotHeights[] = {std::clamp(w * 0.45, 140.0, 260.0),
                                 std::clamp(w * 0.5, 160.0, 280.0),
                                 std::clamp(w * 0.38, 120.0, 220.0)};
    for (int i = 0; i < 3; ++i) {
        ChartSlot& slot = charts_[i];
        slot.title->setFont(s.font(FontFace::ArialBold, 12));
        place(slot.title, kMargin, y, inner, 18);
        y += 20;
        if (slot.view && slot.view->isVisible()) {
            place(slot.view, kMargin, y, inner, plotHeights[i]);
            y += plotHeights[i] + 12;
        } else {
            slot.empty->setFont(s.font(FontFace::Arial, 12));
            const qreal lines = slot.view ? 20 : 40;  // without the module: why, in two lines
            place(slot.empty, kMargin, y, inner, lines);
            y += lines + 12;
        }
    }

    pushesTitle_->setFont(s.font(FontFace::ArialBold, 12));
    place(pushesTitle_, kMargin, y, inner, 18);
    y += 20;
    noPushes_->setFont(s.font(FontFace::Arial, 12));
    if (noPushes_->isVisible()) {
        place(noPushes_, kMargin, y, inner, 20);
        y += 20;
    }
    for (QLabel* row : pushRows_) {
        row->setFont(s.font(FontFace::Arial, 12));
        place(row, kMargin, y, inner, 34);
        y += 38;
    }
    y += 10;
    content_->resize(width, s.px(y));
}

}  // namespace pelloran
