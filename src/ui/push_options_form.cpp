#include "ui/push_options_form.h"

#include "ui/colors.h"
#include "ui/toggle_switch.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QLineEdit>

namespace pelloran {

namespace {
constexpr qreal kCaptionWidth = 80;
constexpr qreal kFieldX = 80;
constexpr qreal kFieldWidth = 200;
constexpr qreal kFieldHeight = 31;
constexpr qreal kFieldPitch = 40;
constexpr qreal kHeadingHeight = 30;
constexpr qreal kNoteHeight = 30;

QString caption(const PushOptionSupport& support, PushOption option) {
    QString word = optionWord(support, option);
    word[0] = word[0].toUpper();
    return word;
}
}  // namespace

PushOptionsForm::PushOptionsForm(QWidget* parent)
    : QWidget(parent),
      heading_(new QLabel(QStringLiteral("Where new torrents go:"), this)),
      category_(addField(PushOption::Category, QStringLiteral("category"))),
      tags_(addField(PushOption::Tags, QStringLiteral("tags"))),
      savePath_(addField(PushOption::SavePath, QStringLiteral("savePath"))),
      paused_(new ToggleSwitch(this)),
      pausedCaption_(new QLabel(QStringLiteral("Start paused"), this)),
      note_(new QLabel(this)) {
    setObjectName(QStringLiteral("pushOptions"));
    heading_->setObjectName(QStringLiteral("pushOptionsHeading"));
    paused_->setObjectName(QStringLiteral("paused"));
    paused_->setAccessibleName(QStringLiteral("Start paused"));
    connect(paused_, &ToggleSwitch::toggled, this,
            [this] { Q_EMIT optionEdited(PushOption::Paused); });
    category_->setPlaceholderText(QStringLiteral("the client's default"));
    tags_->setPlaceholderText(QStringLiteral("hd, x264"));
    savePath_->setPlaceholderText(QStringLiteral("the client's default"));
    for (QLabel* l : {heading_, pausedCaption_}) {
        l->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    }
    note_->setWordWrap(true);
    note_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(colors::grey(0.65).name()));
    setSupport({});
}

QLineEdit* PushOptionsForm::addField(PushOption option, const QString& name) {
    auto* label = new QLabel(this);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    captions_.append(label);
    auto* field = new QLineEdit(this);
    field->setObjectName(name);
    field->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    label->setBuddy(field);
    connect(field, &QLineEdit::editingFinished, this,
            [this, option] { Q_EMIT optionEdited(option); });
    connect(field, &QLineEdit::returnPressed, field, [field] { field->clearFocus(); });
    return field;
}

QList<PushOption> PushOptionsForm::shownRows() const {
    QList<PushOption> rows;
    for (const PushOption option :
         {PushOption::Category, PushOption::Tags, PushOption::SavePath, PushOption::Paused}) {
        if (support_.supports(option)) {
            rows.append(option);
        }
    }
    return rows;
}

void PushOptionsForm::setSupport(const PushOptionSupport& support) {
    support_ = support;
    const QList<QLineEdit*> fields{category_, tags_, savePath_};
    for (int i = 0; i < fields.size(); ++i) {
        const auto option = PushOption(i);
        fields[i]->setVisible(support.supports(option));
        captions_[i]->setVisible(support.supports(option));
        captions_[i]->setText(caption(support, option));
        fields[i]->setAccessibleName(captions_[i]->text());
    }
    paused_->setVisible(support.paused);
    pausedCaption_->setVisible(support.paused);
    heading_->setVisible(support.any());
    note_->setText(QString(support.note));
    note_->setVisible(support.any() && !support.note.isEmpty());
    relayout();
}

void PushOptionsForm::setOptions(const PushOptions& options) {
    const QSignalBlocker block(paused_);
    category_->setText(options.category.value_or(QString()));
    tags_->setText(options.tags.value_or(QStringList()).join(QStringLiteral(", ")));
    savePath_->setText(options.savePath.value_or(QString()));
    paused_->setChecked(options.paused.value_or(false));
}

PushOptions PushOptionsForm::options() const {
    PushOptions options;
    if (support_.category) {
        options.category = category_->text().trimmed();
    }
    if (support_.tags) {
        options.tags = splitTags(tags_->text());
    }
    if (support_.savePath) {
        options.savePath = savePath_->text().trimmed();
    }
    if (support_.paused) {
        options.paused = paused_->isChecked();
    }
    return options;
}

void PushOptionsForm::setHeading(const QString& text) {
    heading_->setText(text);
}

QString PushOptionsForm::fieldStyle(const UiScale& s) {
    return QStringLiteral(
               "QLineEdit { color: white; background: %1; border: 1px solid %2; border-radius: "
               "%3px; padding: 0 %4px; selection-background-color: #e8a33d; } QLineEdit:focus { "
               "border-color: #e8a33d; }")
        .arg(colors::grey(0.13).name(), colors::grey(0.4).name())
        .arg(s.px(5))
        .arg(s.px(6));
}

qreal PushOptionsForm::heightPoints() const {
    if (!support_.any()) {
        return 0;
    }
    return kHeadingHeight + shownRows().size() * kFieldPitch +
           (note_->isVisibleTo(this) ? kNoteHeight : 0);
}

void PushOptionsForm::resizeEvent(QResizeEvent*) {
    relayout();
}

void PushOptionsForm::relayout() {
    const UiScale s = UiScale::of(this);
    heading_->setFont(s.font(FontFace::SystemBold, 15));
    heading_->setGeometry(0, 0, s.px(kWidthPoints), s.px(kHeadingHeight - 6));
    int row = 0;
    const auto top = [&s](int r) { return s.px(kHeadingHeight + r * kFieldPitch); };
    const QList<QLineEdit*> fields{category_, tags_, savePath_};
    for (int i = 0; i < fields.size(); ++i) {
        if (!support_.supports(PushOption(i))) {
            continue;
        }
        captions_[i]->setFont(s.font(FontFace::System, 15));
        captions_[i]->setGeometry(0, top(row), s.px(kCaptionWidth), s.px(kFieldHeight));
        fields[i]->setFont(s.font(FontFace::Arial, 15));
        fields[i]->setStyleSheet(fieldStyle(s));
        fields[i]->setGeometry(s.px(kFieldX), top(row), s.px(kFieldWidth), s.px(kFieldHeight));
        ++row;
    }
    if (support_.paused) {
        pausedCaption_->setFont(s.font(FontFace::System, 15));
        pausedCaption_->setGeometry(0, top(row), s.px(kWidthPoints - ToggleSwitch::kWidthPoints),
                                    s.px(kFieldHeight));
        paused_->setGeometry(s.px(kWidthPoints - ToggleSwitch::kWidthPoints), top(row),
                             s.px(ToggleSwitch::kWidthPoints), s.px(ToggleSwitch::kHeightPoints));
        ++row;
    }
    note_->setFont(s.font(FontFace::Arial, 11));
    note_->setGeometry(0, top(row), s.px(kWidthPoints), s.px(kNoteHeight));
    resize(s.px(kWidthPoints), s.px(heightPoints()));
}

}  // namespace pelloran
