#pragma once
// The "Remote Settings" tab: which BitTorrent client runs on the member's computer and how to
// reach its web interface. The client chooser lists every adapter in chooser order with its
// setup help; choosing one stores its name and puts its default port in the port field. Each
// field is stored when its editing ends (Return moves on to the next field), nothing is
// validated, and Test opens the connection test. UI thread only.

#include "net/operation_queue.h"
#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTextEdit;

namespace pelloran {

struct BitClientType;
class SegmentedControl;

class ServerSettingsViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr qreal kContentHeightPoints = 640;

    explicit ServerSettingsViewController(const ScreenContext& context, QWidget* parent = nullptr);
    ~ServerSettingsViewController() override;

    // The first showing loads the fields from the remote settings (and stores the client and
    // its default port when none was chosen yet).
    void viewWillAppear() override;
    void viewWillDisappear() override;

    // The member chose the client at chooser position `position`.
    void didSelectClient(int position);
    void test();
    void cancel();

    SegmentedControl* clientChooser() const { return chooser_; }
    // The chosen client's setup help, word for word.
    QTextEdit* descriptionLabel() const { return description_; }
    QLineEdit* addressField() const { return address_; }
    QLineEdit* portField() const { return port_; }
    QLineEdit* userField() const { return user_; }
    QLineEdit* passwordField() const { return password_; }
    QPushButton* testButton() const { return testButton_; }
    bool isLoaded() const { return loaded_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void viewDidLoad();
    QLineEdit* addField(const QString& caption, qreal y, const QString& name);
    void storeField(QLineEdit* field);
    void storeAllFields();
    void relayout();

    ScreenContext context_;
    QList<const BitClientType*> types_;  // chooser order
    QScrollArea* scroll_;
    QWidget* content_;
    SegmentedControl* chooser_;
    QTextEdit* description_;
    QLineEdit* address_;
    QLineEdit* port_;
    QLineEdit* user_;
    QLineEdit* password_;
    QPushButton* testButton_;
    bool loaded_ = false;
    OperationQueue queue_{1};  // the connection test without the web screens
};

}  // namespace pelloran
