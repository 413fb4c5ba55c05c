#pragma once
// A modal alert that never blocks: a window-modal QMessageBox opened with open(). The title
// and message are word for word those given; the title is also the box's window title.
// `onDismiss` gets the index of the tapped button (in the order given; Escape taps the first).
// The box deletes itself once dismissed. UI thread only.

#include <QMessageBox>
#include <QStringList>
#include <functional>

namespace pelloran {

QMessageBox* openAlert(QWidget* parent, const QString& title, const QString& message,
                       const QStringList& buttons, std::function<void(int)> onDismiss = {});

// What an open alert says, as given to openAlert().
QString alertTitle(const QMessageBox* box);
QString alertMessage(const QMessageBox* box);
QStringList alertButtons(const QMessageBox* box);
// Taps button `index` of an open alert (what a click does).
void tapAlertButton(QMessageBox* box, int index);

}  // namespace pelloran
