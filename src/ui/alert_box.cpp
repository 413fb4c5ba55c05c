#include "ui/alert_box.h"

#include "ui/ui_scale.h"

#include <QAbstractButton>
#include <QPushButton>

namespace pelloran {

namespace {
constexpr char kTitle[] = "pelloranAlertTitle";
constexpr char kMessage[] = "pelloranAlertMessage";
constexpr char kButtons[] = "pelloranAlertButtons";
constexpr char kIndex[] = "pelloranAlertButtonIndex";
constexpr qreal kMinimumTextWidth = 200;
}  // namespace

QMessageBox* openAlert(QWidget* parent, const QString& title, const QString& message,
                       const QStringList& buttons, std::function<void(int)> onDismiss) {
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::NoIcon);
    box->setTextFormat(Qt::PlainText);
    box->setWindowTitle(title.isEmpty() ? QStringLiteral("Pelloran") : title);
    // The title leads in bold when there is one; an untitled alert shows its message alone.
    if (title.isEmpty()) {
        box->setText(message);
    } else {
        box->setText(title);
        QFont f = box->font();
        f.setBold(true);
        box->setFont(f);
        box->setInformativeText(message);
        if (auto* informative =
                box->findChild<QWidget*>(QStringLiteral("qt_msgbox_informativelabel"))) {
            QFont plain = informative->font();
            plain.setBold(false);
            informative->setFont(plain);
        }
    }
    // Wide enough that a sentence reads on one or two lines, as a phone alert does.
    box->setStyleSheet(QStringLiteral("QLabel { min-width: %1px; }")
                           .arg(UiScale::of(parent).px(kMinimumTextWidth)));
    box->setProperty(kTitle, title);
    box->setProperty(kMessage, message);
    box->setProperty(kButtons, buttons);
    const QStringList labels = buttons.isEmpty() ? QStringList{QStringLiteral("OK")} : buttons;
    QList<QAbstractButton*> added;
    for (int i = 0; i < labels.size(); ++i) {
        QPushButton* b =
            box->addButton(labels[i], i == 0 && labels.size() > 1 ? QMessageBox::RejectRole
                                                                  : QMessageBox::AcceptRole);
        b->setProperty(kIndex, i);
        added.append(b);
    }
    box->setEscapeButton(added.first());
    box->setDefaultButton(qobject_cast<QPushButton*>(added.last()));
    QObject::connect(box, &QMessageBox::finished, box, [box, onDismiss = std::move(onDismiss)] {
        const QAbstractButton* clicked = box->clickedButton();
        const int index = clicked ? clicked->property(kIndex).toInt() : 0;
        if (onDismiss) {
            onDismiss(index);
        }
    });
    box->open();
    return box;
}

QString alertTitle(const QMessageBox* box) {
    return box ? box->property(kTitle).toString() : QString();
}

QString alertMessage(const QMessageBox* box) {
    return box ? box->property(kMessage).toString() : QString();
}

QStringList alertButtons(const QMessageBox* box) {
    return box ? box->property(kButtons).toStringList() : QStringList();
}

void tapAlertButton(QMessageBox* box, int index) {
    for (QAbstractButton* b : box->buttons()) {
        if (b->property(kIndex).toInt() == index) {
            b->click();
            return;
        }
    }
}

}  // namespace pelloran
