#include "lists/send_to_sheet.h"

#include "ui/colors.h"
#include "ui/navigation_bar.h"
#include "ui/push_options_form.h"
#include "ui/sheet_chrome.h"
#include "ui/ui_scale.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace pelloran {

namespace {
constexpr qreal kMargin = 20;
}  // namespace

SendToSheet::SendToSheet(QWidget* host, const QString& torrentName,
                         const PushOptionSupport& support, const PushOptions& defaults, Send send)
    : QWidget(host),
      bar_(new NavigationBar(this)),
      cancel_(sheet_chrome::barButton(QStringLiteral("Cancel"), this)),
      send_(sheet_chrome::barButton(QStringLiteral("Send"), this)),
      name_(new QLabel(torrentName, this)),
      form_(new PushOptionsForm(this)),
      sendTo_(std::move(send)) {
    setObjectName(QStringLiteral("sendToSheet"));
    bar_->setTitle(QStringLiteral("Send to…"));
    bar_->setItems(cancel_, send_);
    send_->setObjectName(QStringLiteral("sendButton"));
    connect(cancel_, &QToolButton::clicked, this, &SendToSheet::cancel);
    connect(send_, &QToolButton::clicked, this, &SendToSheet::send);
    name_->setWordWrap(true);
    name_->setStyleSheet(
        QStringLiteral("color: %1; background: transparent;").arg(colors::grey(0.85).name()));
    form_->setHeading(QStringLiteral("Where this torrent goes:"));
    form_->setSupport(support);
    form_->setOptions(defaults);
    hide();
}

void SendToSheet::present() {
    sheet_chrome::coverHost(this);
    show();
    raise();
    form_->setFocus();
}

void SendToSheet::send() {
    const PushOptions options = form_->options();
    hide();
    deleteLater();
    if (sendTo_) {
        sendTo_(options);
    }
}

void SendToSheet::cancel() {
    hide();
    deleteLater();
}

void SendToSheet::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SendToSheet::eventFilter(QObject* watched, QEvent* event) {
    sheet_chrome::followHost(this, watched, event);
    return QWidget::eventFilter(watched, event);
}

void SendToSheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), colors::listBackground());
}

void SendToSheet::resizeEvent(QResizeEvent*) {
    const UiScale s = UiScale::of(this);
    sheet_chrome::layoutBar(this, bar_, cancel_, send_);
    int y = s.px(NavigationBar::kHeightPoints + 16);
    name_->setFont(s.font(FontFace::Arial, 13));
    name_->setGeometry(s.px(kMargin), y, width() - 2 * s.px(kMargin), s.px(36));
    y += s.px(48);
    form_->move(s.px(kMargin), y);
}

}  // namespace pelloran
