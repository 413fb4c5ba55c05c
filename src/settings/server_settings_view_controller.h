#pragma once
// The "Remote Settings" tab: which BitTorrent client runs on the member's computer and how to
// reach its web interface. The client chooser lists every adapter in chooser order with its
// setup help; choosing one stores its name and puts its default port in the port field. Each
// field is stored when its editing ends (Return moves on to the next field), nothing is
// validated, and Test opens the connection test. Under Test, the chosen client's push defaults
// (where its torrents go), for the options it has; each stored when its editing ends, under
// that client's own keys. UI thread only.
//
// Every showing reads the stored settings again (another program, the command line say, may
// have changed them), and only a field the member changed since is written: what is shown but
// untouched is never written back over a newer value. The first showing ever also stores the
// first client and its default port, when none is stored.

#include "net/operation_queue.h"
#include "remote/push_options.h"
#include "ui/screen_context.h"
#include "ui/view_controller.h"

#include <QHash>
#include <QList>

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTextEdit;

namespace pelloran {

struct BitClientType;
class PushOptionsForm;
class SegmentedControl;

class ServerSettingsViewController : public ViewController {
    Q_OBJECT
public:
    static constexpr qreal kContentHeightPoints = 640;

    explicit ServerSettingsViewController(const ScreenContext& context, QWidget* parent = nullptr);
    ~ServerSettingsViewController() override;

    // Loads the fields from the remote settings (and stores the client and its default port
    // when none was chosen yet).
    void viewWillAppear() override;
    // Stores a field still being edited, if the member changed it.
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
    // The chosen client's push defaults, under the Test button; empty for a client with none.
    PushOptionsForm* pushOptionsForm() const { return pushOptions_; }
    bool isLoaded() const { return loaded_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void testWithoutWebScreens();
    void loadFields();
    QLineEdit* addField(const QString& caption, qreal y, const QString& name);
    // Puts `text` in `field` as what the store holds.
    void showStored(QLineEdit* field, const QString& text);
    // Writes the field's text when it differs from what was shown.
    void storeField(QLineEdit* field);
    void storeAllFields();
    void storePushOption(PushOption option);
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
    QHash<QLineEdit*, QString> shown_;  // each field's text as read from the store
    PushOptionsForm* pushOptions_;
    bool loaded_ = false;
    OperationQueue queue_{1};  // the connection test without the web screens
};

}  // namespace pelloran
