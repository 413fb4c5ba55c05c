#include "app/info_view.h"

#include "ui/colors.h"
#include "ui/image_library.h"
#include "ui/ui_scale.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <algorithm>

namespace pelloran {

namespace {
constexpr qreal kIconPoints = 96;
constexpr qreal kIconTop = 70;
}  // namespace

InfoView::InfoView(const QString& version, QWidget* parent)
    : QWidget(parent),
      version_(version),
      name_(new QLabel(QStringLiteral("Pelloran"), this)),
      versionLbl_(new QLabel(this)),
      about_(new QLabel(this)),
      done_(new QPushButton(QStringLiteral("Done"), this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (QLabel* l : {name_, versionLbl_, about_}) {
        l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    }
    about_->setWordWrap(true);
    about_->setText(QStringLiteral(
        "Browse, search and keep favorites of the tracker's newest torrents, and send the ones "
        "you pick straight to your own BitTorrent client.\n\nThe web interfaces of Transmission, "
        "qBittorrent, Deluge, Vuze and uTorrent are supported."));
    done_->setCursor(Qt::PointingHandCursor);
    connect(done_, &QPushButton::clicked, this, &InfoView::doneClicked);
}

void InfoView::updateVersion() {
    versionLbl_->setText(QStringLiteral("Version ") + version_);
}

void InfoView::paintEvent(QPaintEvent*) {
    const UiScale s = UiScale::of(this);
    QPainter p(this);
    QLinearGradient g(0, 0, 0, height());
    g.setColorAt(0, QColor(38, 42, 50));
    g.setColorAt(1, QColor(14, 15, 18));
    p.fillRect(rect(), g);
    const QSize icon = s.size(kIconPoints, kIconPoints);
    p.drawPixmap(
        (width() - icon.width()) / 2, s.px(kIconTop),
        ImageLibrary::pixmap(QStringLiteral("pelloran-icon.png"), icon, devicePixelRatioF()));
}

void InfoView::resizeEvent(QResizeEvent*) {
    const UiScale s = UiScale::of(this);
    name_->setFont(s.font(FontFace::ArialBold, 28));
    name_->setStyleSheet(QStringLiteral("color: white;"));
    versionLbl_->setFont(s.font(FontFace::Arial, 15));
    versionLbl_->setStyleSheet(QStringLiteral("color: %1;").arg(colors::grey(0.7).name()));
    about_->setFont(s.font(FontFace::Arial, 14));
    about_->setStyleSheet(QStringLiteral("color: %1;").arg(colors::grey(0.8).name()));
    const int top = s.px(kIconTop + kIconPoints + 14);
    name_->setGeometry(0, top, width(), s.px(36));
    versionLbl_->setGeometry(0, top + s.px(40), width(), s.px(22));
    // As tall as its wrapped text (the five clients' names make it longer than it was), never
    // into the Done button.
    const int aboutTop = top + s.px(80);
    const int aboutWidth = width() - s.px(60);
    const int room = height() - s.px(80) - aboutTop;
    about_->setGeometry(s.px(30), aboutTop, aboutWidth,
                        std::max(0, std::min(about_->heightForWidth(aboutWidth), room)));
    done_->setFont(s.font(FontFace::SystemBold, 17));
    done_->setStyleSheet(QStringLiteral("QPushButton { color: white; background: %1; border: 1px "
                                        "solid %2; border-radius: %3px; }"
                                        "QPushButton:pressed { background: %2; }")
                             .arg(colors::grey(0.22).name(), colors::grey(0.4).name())
                             .arg(s.px(8)));
    done_->setGeometry(s.px(60), height() - s.px(70), width() - s.px(120), s.px(42));
}

}  // namespace pelloran
