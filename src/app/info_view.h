#pragma once
// The information page flipped over the login face: the app's name and icon, and its version
// in `versionLbl`. "Done" turns it back.

#include <QWidget>

class QLabel;
class QPushButton;

namespace pelloran {

class InfoView : public QWidget {
    Q_OBJECT
public:
    explicit InfoView(const QString& version, QWidget* parent = nullptr);

    // Shows the running version in versionLbl.
    void updateVersion();
    QLabel* versionLbl() const { return versionLbl_; }
    QPushButton* doneButton() const { return done_; }

Q_SIGNALS:
    void doneClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QString version_;
    QLabel* name_;
    QLabel* versionLbl_;
    QLabel* about_;
    QPushButton* done_;
};

}  // namespace pelloran
