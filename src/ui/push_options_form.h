#pragma once
// The fields of where a torrent goes on the member's client, as one block: a category (Deluge:
// label), tags (Transmission: labels), a save path and a "Start paused" switch, each row shown
// only when the chosen client has it, with what the client needs for one of them (Deluge's
// Label plugin, Transmission 4) in grey under the rows. The Remote Settings screen shows it
// under its own fields, the "Send to…" sheet and the filter compose screen above their buttons.
// 280 points wide; as tall as heightPoints() says. UI thread only.

#include "remote/push_options.h"

#include <QList>
#include <QWidget>

class QLabel;
class QLineEdit;

namespace pelloran {

class ToggleSwitch;
class UiScale;

class PushOptionsForm : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal kWidthPoints = 280;

    explicit PushOptionsForm(QWidget* parent = nullptr);

    // Shows the rows the client has; a client with none shows nothing (heightPoints() 0).
    void setSupport(const PushOptionSupport& support);
    const PushOptionSupport& support() const { return support_; }
    // Fills the shown fields: absent texts empty, an absent paused state off.
    void setOptions(const PushOptions& options);
    // What the shown fields say: empty texts as "" (asks for none), the switch as on or off;
    // the fields the client has not stay absent.
    PushOptions options() const;

    // The line above the fields ("Where new torrents go:" unless set).
    void setHeading(const QString& text);

    qreal heightPoints() const;

    // The style sheet of a settings text field at `scale` (the Remote Settings fields share it).
    static QString fieldStyle(const UiScale& scale);

    QLineEdit* categoryField() const { return category_; }
    QLineEdit* tagsField() const { return tags_; }
    QLineEdit* savePathField() const { return savePath_; }
    ToggleSwitch* pausedSwitch() const { return paused_; }

Q_SIGNALS:
    // The member finished editing one field (or flipped the switch).
    void optionEdited(PushOption option);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* addField(PushOption option, const QString& name);
    QList<PushOption> shownRows() const;
    void relayout();

    PushOptionSupport support_;
    QList<QLabel*> captions_;  // PushOption order; filled while the fields are made
    QLabel* heading_;
    QLineEdit* category_;
    QLineEdit* tags_;
    QLineEdit* savePath_;
    ToggleSwitch* paused_;
    QLabel* pausedCaption_;
    QLabel* note_;
};

}  // namespace pelloran
