#include "settings/server_settings_view_controller.h"

#include "remote/bit_client.h"
#include "remote/bit_client_registry.h"
#include "remote/fetch_page_remote_ui.h"
#include "remote/server_info.h"
#include "settings/settings_layout.h"
#include "store/settings_store.h"
#include "ui/colors.h"
#include "ui/loading_indicator.h"
#include "ui/navigation_stack.h"
#include "ui/pending_web_screen.h"
#include "ui/push_options_form.h"
#include "ui/segmented_control.h"
#include "ui/ui_scale.h"
#include "ui/web_screen_factory.h"
#include "ui/web_screen_loader.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTextEdit>
#include <QTimer>
#include <cmath>

namespace pelloran {

namespace {
constexpr qreal kLeft = 20;
constexpr qreal kWidth = 280;
constexpr qreal kCaptionWidth = 80;
constexpr qreal kFieldX = 100;
constexpr qreal kFieldWidth = 200;
constexpr qreal kFieldHeight = 31;
constexpr qreal kFieldPitch = 40;
constexpr qreal kHelpPoints = 11;
constexpr qreal kHelpTabPoints = 10;
constexpr int kClientsPerRow = 3;
}  // namespace

ServerSettingsViewController::ServerSettingsViewController(const ScreenContext& context,
                                                           QWidget* parent)
    : ViewController(parent),
      context_(context),
      types_(bitClientTypes()),
      scroll_(new QScrollArea(this)),
      content_(new QWidget()) {
    setTitle(QStringLiteral("Remote Settings"));
    setTabBarItem(QStringLiteral("Remote Settings"), QStringLiteral("tabbar-settings.png"));
    settings_layout::styleScrollArea(scroll_, content_);

    settings_layout::addLabel(content_, QStringLiteral("BitTorrent client:"), kLeft, 14, kWidth);
    QStringList captions;
    for (const BitClientType* type : types_) {
        captions.append(clientDisplayName(*type));
    }
    chooser_ = new SegmentedControl(captions, content_);
    chooser_->setObjectName(QStringLiteral("clientChooser"));
    chooser_->setMaxPerRow(kClientsPerRow);
    connect(chooser_, &SegmentedControl::segmentChosen, this,
            &ServerSettingsViewController::didSelectClient);

    // A read-only text view rather than a label: the help texts indent with tabs, and only a
    // text view lets them be narrow.
    description_ = new QTextEdit(content_);
    description_->setObjectName(QStringLiteral("descriptionLabel"));
    description_->setReadOnly(true);
    description_->setFrameShape(QFrame::NoFrame);
    description_->setFocusPolicy(Qt::NoFocus);
    description_->setTextInteractionFlags(Qt::NoTextInteraction);
    description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    description_->viewport()->setAutoFillBackground(false);
    description_->viewport()->setCursor(Qt::ArrowCursor);
    description_->setStyleSheet(QStringLiteral("QTextEdit { color: %1; background: transparent; }")
                                    .arg(colors::grey(0.85).name()));

    address_ = addField(QStringLiteral("Address"), 0, QStringLiteral("address"));
    port_ = addField(QStringLiteral("Port"), 1, QStringLiteral("port"));
    user_ = addField(QStringLiteral("User"), 2, QStringLiteral("user"));
    password_ = addField(QStringLiteral("Password"), 3, QStringLiteral("password"));
    address_->setPlaceholderText(QStringLiteral("192.168.1.10"));
    password_->setEchoMode(QLineEdit::Password);
    for (QLineEdit* f : {address_, port_, user_}) {
        f->setInputMethodHints(Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    }
    port_->setInputMethodHints(port_->inputMethodHints() | Qt::ImhDigitsOnly);
    password_->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData |
                                   Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);

    testButton_ = new QPushButton(QStringLiteral("Test"), content_);
    testButton_->setObjectName(QStringLiteral("testButton"));
    testButton_->setCursor(Qt::PointingHandCursor);
    testButton_->setToolTip(QStringLiteral("Try these settings on your client"));
    connect(testButton_, &QPushButton::clicked, this, &ServerSettingsViewController::test);

    pushOptions_ = new PushOptionsForm(content_);
    connect(pushOptions_, &PushOptionsForm::optionEdited, this,
            &ServerSettingsViewController::storePushOption);
}

ServerSettingsViewController::~ServerSettingsViewController() = default;

QLineEdit* ServerSettingsViewController::addField(const QString& caption, qreal row,
                                                  const QString& name) {
    QLabel* label = settings_layout::addLabel(content_, caption, kLeft, 0, kCaptionWidth);
    label->setObjectName(name + QStringLiteral("Caption"));
    auto* field = new QLineEdit(content_);
    field->setObjectName(name);
    field->setProperty("row", row);
    label->setBuddy(field);
    // Editing ends (Return or leaving the field): the value is stored as typed.
    connect(field, &QLineEdit::editingFinished, this, [this, field] { storeField(field); });
    connect(field, &QLineEdit::returnPressed, this, [this, field] {
        if (field == address_) {
            port_->setFocus();
        } else if (field == port_) {
            user_->setFocus();
        } else if (field == user_) {
            password_->setFocus();
        } else {
            password_->clearFocus();
        }
    });
    return field;
}

void ServerSettingsViewController::showStored(QLineEdit* field, const QString& text) {
    field->setText(text);
    shown_[field] = text;
}

void ServerSettingsViewController::storeField(QLineEdit* field) {
    ServerInfo* server = context_.remote.server;
    if (!server || !loaded_ || field->text() == shown_.value(field)) {
        return;  // untouched since it was read: the store may hold something newer
    }
    shown_[field] = field->text();
    if (field == address_) {
        server->setAddress(field->text());
    } else if (field == port_) {
        server->setPort(field->text());
    } else if (field == user_) {
        server->setUsername(field->text());
    } else if (field == password_) {
        server->setPassword(field->text());
    }
}

void ServerSettingsViewController::storePushOption(PushOption option) {
    ServerInfo* server = context_.remote.server;
    if (!server || !loaded_) {
        return;
    }
    // Only the field the member changed is written, so a default set elsewhere (the command
    // line) meanwhile is not put back.
    const PushOptions shown = pushOptions_->options();
    PushOptions changed;
    switch (option) {
        case PushOption::Category:
            changed.category = shown.category;
            break;
        case PushOption::Tags:
            changed.tags = shown.tags;
            break;
        case PushOption::SavePath:
            changed.savePath = shown.savePath;
            break;
        case PushOption::Paused:
            changed.paused = shown.paused;
            break;
    }
    const QString client = server->reloaded().client.value_or(QString());
    // An empty field or a switch left off over nothing stored is no choice: nothing is written.
    const PushOptions stored = server->pushDefaults(client);
    if (changed.over(stored) == stored) {
        return;
    }
    if ((changed.category && changed.category->isEmpty() && !stored.category) ||
        (changed.tags && changed.tags->isEmpty() && !stored.tags) ||
        (changed.savePath && changed.savePath->isEmpty() && !stored.savePath) ||
        (changed.paused && !*changed.paused && !stored.paused)) {
        return;
    }
    server->setPushDefaults(client, changed);
}

void ServerSettingsViewController::storeAllFields() {
    // Whatever the member typed is kept when the tab is left, even without ending the edit.
    for (QLineEdit* f : {address_, port_, user_, password_}) {
        storeField(f);
    }
    for (const PushOption option : {PushOption::Category, PushOption::Tags, PushOption::SavePath}) {
        if (pushOptions_->support().supports(option)) {
            storePushOption(option);
        }
    }
}

void ServerSettingsViewController::viewWillAppear() {
    loadFields();
    if (NavigationStack* stack = navigationStack()) {
        stack->setNavigationBarHidden(true);
    }
}

void ServerSettingsViewController::viewWillDisappear() {
    storeAllFields();
}

void ServerSettingsViewController::loadFields() {
    ServerInfo* server = context_.remote.server;
    if (!server) {
        return;
    }
    if (context_.site.settings) {
        context_.site.settings->refresh();
    }
    const ServerInfo::Values values = server->reloaded();
    int position = 0;
    const QString client = values.client.value_or(QString());
    const BitClientType* stored = client.isEmpty() ? nullptr : bitClientType(client);
    if (stored) {
        position = std::max(0, int(types_.indexOf(stored)));
    }
    const BitClientType* type = types_[position];
    chooser_->setSelectedIndex(position);
    description_->setPlainText(QString(type->description));
    // The first showing: no client (or one no adapter has) means the first one, with its
    // default port when no port is stored either.
    if (!stored) {
        server->setClient(clientNameByIndex(type->index));
    }
    QString port = values.port.value_or(QString());
    if (port.isEmpty()) {
        port = QString(type->defaultPort);
        server->setPort(port);
    }
    showStored(port_, port);
    showStored(address_, values.address.value_or(QString()));
    showStored(user_, values.username.value_or(QString()));
    showStored(password_, values.password.value_or(QString()));
    pushOptions_->setSupport(type->pushOptions);
    pushOptions_->setOptions(server->pushDefaults(QString(type->name)));
    loaded_ = true;
    relayout();
}

void ServerSettingsViewController::didSelectClient(int position) {
    ServerInfo* server = context_.remote.server;
    if (position < 0 || position >= types_.size() || !server) {
        return;
    }
    const BitClientType* type = types_[position];
    server->setClient(clientNameByIndex(type->index));
    description_->setPlainText(QString(type->description));
    // The member's choice: the client's default port goes in, over any port typed before.
    showStored(port_, QString(type->defaultPort));
    server->setPort(port_->text());
    pushOptions_->setSupport(type->pushOptions);
    pushOptions_->setOptions(server->pushDefaults(QString(type->name)));
    relayout();
}

void ServerSettingsViewController::test() {
    storeAllFields();  // the password may still be in edit
    password_->clearFocus();
    NavigationStack* stack = navigationStack();
    if (stack && context_.web && !context_.web->wasTried()) {
        // The first web screen of the run loads the plugin: the bar and the overlay show first.
        stack->setNavigationBarHidden(false);
        stack->pushViewController(new PendingWebScreen([this]() -> ViewController* {
            WebScreenFactory* factory = context_.web->factory();
            if (!factory) {
                QTimer::singleShot(0, this, [this] { testWithoutWebScreens(); });
                return nullptr;
            }
            return factory->createRemoteTestScreen(context_, this);
        }),
                                  true);
        return;
    }
    WebScreenFactory* factory = context_.web ? context_.web->factory() : nullptr;
    if (factory && stack) {
        if (ViewController* screen = factory->createRemoteTestScreen(context_, this)) {
            stack->setNavigationBarHidden(false);
            stack->pushViewController(screen, true);
        }
        return;
    }
    testWithoutWebScreens();
}

void ServerSettingsViewController::testWithoutWebScreens() {
    // Without the web screens the test still runs: its alert says whether the client answered.
    LoadingIndicator& loading = LoadingIndicator::sharedInstance();
    loading.setParentView(context_.window ? context_.window : window());
    loading.setString(QStringLiteral("Testing..."));
    loading.showLoadingIndicators();
    testButton_->setEnabled(false);
    queue_.addOperation(std::make_unique<FetchPageRemoteUI>(
        context_.remote, true, this, [this](const std::optional<QString>&) {
            LoadingIndicator::sharedInstance().hideLoadingIndicators();
            testButton_->setEnabled(true);
        }));
}

void ServerSettingsViewController::cancel() {
    for (QLineEdit* f : {address_, port_, user_, password_}) {
        f->clearFocus();
    }
    if (NavigationStack* stack = navigationStack();
        stack && stack->topViewController() == this && stack->depth() > 1) {
        stack->popViewController(false);
    }
}

void ServerSettingsViewController::resizeEvent(QResizeEvent*) {
    relayout();
}

void ServerSettingsViewController::relayout() {
    const UiScale s = UiScale::of(this);
    scroll_->setGeometry(rect());
    // The labels' fonts, the caption; the column's left edge for what is placed here.
    const int left = settings_layout::placeByPoints(content_, s, width());
    chooser_->setGeometry(left + s.px(kLeft), s.px(44), s.px(kWidth),
                          chooser_->sizeHint().height());
    int y = chooser_->geometry().bottom() + s.px(14);
    description_->setFont(s.font(FontFace::Arial, kHelpPoints));
    description_->setTabStopDistance(s.pxF(kHelpTabPoints));
    description_->document()->setDocumentMargin(0);
    description_->document()->setTextWidth(s.px(kWidth));
    const int helpHeight = int(std::ceil(description_->document()->size().height()));
    description_->setGeometry(left + s.px(kLeft), y, s.px(kWidth), std::max(helpHeight, 0));
    y += helpHeight + s.px(18);
    for (QLineEdit* f : {address_, port_, user_, password_}) {
        const int row = f->property("row").toInt();
        const int top = y + s.px(row * kFieldPitch);
        f->setGeometry(left + s.px(kFieldX), top, s.px(kFieldWidth), s.px(kFieldHeight));
        f->setFont(s.font(FontFace::Arial, 15));
        f->setStyleSheet(PushOptionsForm::fieldStyle(s));
        if (auto* caption =
                content_->findChild<QLabel*>(f->objectName() + QStringLiteral("Caption"))) {
            caption->setGeometry(left + s.px(kLeft), top, s.px(kCaptionWidth), s.px(kFieldHeight));
        }
    }
    y += s.px(4 * kFieldPitch + 10);
    testButton_->setGeometry(left + s.px(kLeft), y, s.px(kWidth), s.px(40));
    testButton_->setFont(s.font(FontFace::SystemBold, 16));
    testButton_->setStyleSheet(QStringLiteral("QPushButton { color: #141414; background: #e8a33d; "
                                              "border: none; border-radius: %1px; }"
                                              "QPushButton:pressed { background: #c98a2c; } "
                                              "QPushButton:disabled { background: #6b5a3d; }")
                                   .arg(s.px(6)));
    pushOptions_->move(s.px(kLeft), testButton_->geometry().bottom() + s.px(24));
    pushOptions_->resize(s.px(PushOptionsForm::kWidthPoints), s.px(pushOptions_->heightPoints()));
    const int below = pushOptions_->heightPoints() > 0 ? pushOptions_->geometry().bottom()
                                                       : testButton_->geometry().bottom();
    const int contentHeight = std::max(s.px(kContentHeightPoints), below + s.px(30));
    content_->resize(width(), contentHeight);
}

}  // namespace pelloran
