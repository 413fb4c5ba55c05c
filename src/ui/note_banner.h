#pragma once
// A non-modal note across the top of the window: something the member should know that needs
// no answer (a settings or cookie file that could not be read or saved). It stays until
// clicked, or for a while; a second note while one shows is added below the first.
// UI thread only.

#include <QLabel>

namespace pelloran {

class NoteBanner : public QLabel {
    Q_OBJECT
public:
    static constexpr int kShownMs = 15000;

    // Shows `text` over `window`, or adds it to the note already there.
    static NoteBanner* show(QWidget* window, const QString& text);
    // The note over `window`, if one shows.
    static NoteBanner* current(QWidget* window);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit NoteBanner(QWidget* window);
    void relayout();
};

}  // namespace pelloran
