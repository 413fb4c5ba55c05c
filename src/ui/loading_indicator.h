#pragma once
// The shared busy overlays: a translucent grey rounded box with a spinner and one line of white
// text, centred over a chosen view and shifted down by `offset` points. LoadingIndicator is the
// one busy overlay every screen borrows; SendingTorrentIndicator is a second one, so the
// sending count can be up at the same time as a page load.
//
// Calling pattern: sharedInstance(), setParentView(), setString(), setOffset(),
// showLoadingIndicators(); later hideLoadingIndicators() on the same object. One hide ends the
// overlay, whoever showed it. The overlay is a child widget: it never blocks the event loop.
// UI thread only.

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QLabel;
class QWidget;

namespace pelloran {

class ActivitySpinner;
class RoundedRectView;

// Where the box and its two parts go, all in points (box in the parent, parts in the box).
struct OverlayFrame {
    QRectF box;
    QPointF spinner;
    QPointF label;
};
inline constexpr qreal kOverlayHeight = 40;
OverlayFrame overlayFrame(const QSizeF& spinner, const QSizeF& label, const QSizeF& parent,
                          qreal offset);

class LoadingIndicator : public QObject {
public:
    // The one instance, made on first use. Every call resets the configuration (no parent,
    // offset 0, text "") but never the shown state.
    static LoadingIndicator& sharedInstance();

    QWidget* parentView() const { return parentView_; }
    void setParentView(QWidget* view) { parentView_ = view; }
    QString string() const { return string_; }
    void setString(const QString& text) { string_ = text; }
    int offset() const { return offset_; }
    void setOffset(int points) { offset_ = points; }

    // Shows the overlay on parentView, or, when it is already up, changes its text in place
    // (it stays on the view it was first shown on).
    void showLoadingIndicators();
    // Removes the overlay; nothing happens when it is not shown.
    void hideLoadingIndicators();
    // Removes the overlay only when it is shown on `view` or inside it: a screen that leaves
    // takes its own overlay along and leaves alone one that another screen shows.
    void hideIfOn(const QWidget* view);

    // Shown exactly while the spinner exists.
    bool isShown() const { return !spinner_.isNull(); }
    QWidget* box() const;       // null while hidden
    QString shownText() const;  // the label's text; "" while hidden

protected:
    LoadingIndicator() = default;
    void resetConfiguration();
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void sizeFrame();

    QPointer<QWidget> parentView_;
    QString string_;
    int offset_ = 0;
    QPointer<RoundedRectView> box_;
    QPointer<ActivitySpinner> spinner_;
    QPointer<QLabel> label_;
};

class SendingTorrentIndicator : public LoadingIndicator {
public:
    static SendingTorrentIndicator& sharedInstance();

private:
    SendingTorrentIndicator() = default;
};

}  // namespace pelloran
