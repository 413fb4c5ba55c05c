#pragma once
// "Send to…": a small sheet over the list for one push with options of its own. It names the
// torrent and shows the chosen client's push fields filled from its defaults; Send hands the
// fields back as this push's options (an emptied field asks for none), Cancel or Escape
// sends nothing. It closes itself either way. UI thread only.

#include "remote/push_options.h"

#include <QWidget>
#include <functional>

class QLabel;
class QToolButton;

namespace pelloran {

class NavigationBar;
class PushOptionsForm;

class SendToSheet : public QWidget {
    Q_OBJECT
public:
    using Send = std::function<void(const PushOptions& options)>;

    // Covers `host`; `support` and `defaults` are those of the chosen client.
    SendToSheet(QWidget* host, const QString& torrentName, const PushOptionSupport& support,
                const PushOptions& defaults, Send send);

    void present();
    void send();
    void cancel();

    PushOptionsForm* form() const { return form_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    NavigationBar* bar_;
    QToolButton* cancel_;
    QToolButton* send_;
    QLabel* name_;
    PushOptionsForm* form_;
    Send sendTo_;
};

}  // namespace pelloran
