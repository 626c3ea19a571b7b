#include "views/actions/GestureActionConfigurationView.h"

#include "executors/KeepAwakeController.h"
#include "platform/Cancellation.h"
#include "platform/Scheduler.h"
#include "views/ViewContext.h"
#include "views/actions/ActionParameterEditor.h"
#include "views/actions/ActionPermissionHelpView.h"
#include "views/actions/ApplicationTargetPicker.h"
#include "views/actions/CurrentDesktopAbilities.h"
#include "views/actions/GestureActionIcon.h"
#include "views/actions/ShortcutRecorder.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SystemSettingsPanes.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

constexpr double kPreviewDelay = 0.2;

constexpr GestureAction kKeepAwakeActions[] = {GestureAction::enableKeepAwake, GestureAction::disableKeepAwake,
                                               GestureAction::toggleKeepAwake};
constexpr GestureAction kPreviewActions[] = {GestureAction::openControlCenter, GestureAction::openNotificationCenter,
                                             GestureAction::screenshotWindowClipboard};
constexpr GestureAction kOpenPreviewActions[] = {GestureAction::openApplicationSwitcher, GestureAction::missionControl};

template <std::size_t N>
bool contains(const GestureAction (&set)[N], GestureAction action) {
    return std::find(std::begin(set), std::end(set), action) != std::end(set);
}

}  // namespace

GestureActionConfigurationView::GestureActionConfigurationView(const ViewContext& context, QWidget* parent)
    : kit::RoundedBox(kit::KitColour::controlBackground, 12, parent),
      context_(context),
      column_(new QVBoxLayout(this)) {
    setObjectName(QStringLiteral("actionConfiguration"));
    column_->setContentsMargins(16, 16, 16, 16);
    connect(&context_.keepAwake, &KeepAwakeController::isActiveChanged, this,
            &GestureActionConfigurationView::refreshKeepAwake);
    rebuild();
}

GestureActionConfigurationView::~GestureActionConfigurationView() { stopPreview(); }

void GestureActionConfigurationView::setConfiguration(const ActionConfiguration& configuration) {
    const bool actionChanged = configuration.action != configuration_.action;
    configuration_ = configuration;
    if (actionChanged) {
        cancelPreview();
        rebuild();
        return;
    }
    if (parameters_) parameters_->setParameters(configuration_.editableParameters());
    if (application_) application_->setSelection(configuration_.applicationTarget);
    if (recorder_) recorder_->setShortcut(configuration_.shortcut);
}

void GestureActionConfigurationView::previewCurrentAction() {
    if (previewCancel_) previewCancel_->cancel();
    previewCancel_ = std::make_shared<CancellationSource>();
    preview(QPointer(this), &context_, configuration_.action, previewCancel_);
}

void GestureActionConfigurationView::cancelPreview() {
    stopPreview();
    previewMessage_.reset();
    refreshPreviewMessage();
}

void GestureActionConfigurationView::stopPreview() {
    if (previewCancel_) previewCancel_->cancel();
}

QCoro::Task<> GestureActionConfigurationView::preview(QPointer<GestureActionConfigurationView> view,
                                                      const ViewContext* context, GestureAction action,
                                                      std::shared_ptr<CancellationSource> cancel) {
    if (!co_await context->scheduler.sleep(kPreviewDelay, cancel->token())) co_return;
    if (!view || cancel->isCancelled()) co_return;
    GestureBinding binding;
    binding.trigger = GestureTrigger::leftUp;
    binding.action = action;
    const PerformGestureAction perform = context->performGestureAction;
    const HUDNotice notice = co_await perform(std::move(binding));
    // A later preview, another action or the panel going away drops it.
    if (!view || cancel->isCancelled()) co_return;
    view->previewMessage_ = notice.text;
    view->refreshPreviewMessage();
}

void GestureActionConfigurationView::hideEvent(QHideEvent* event) {
    stopPreview();
    kit::RoundedBox::hideEvent(event);
}

void GestureActionConfigurationView::edit(const ActionConfiguration& configuration) {
    configuration_ = configuration;
    Q_EMIT configurationChanged(configuration_);
}

void GestureActionConfigurationView::refreshKeepAwake() {
    if (!keepAwake_) return;
    const bool active = context_.keepAwake.isActive();
    keepAwake_->setSymbol(active ? QStringLiteral("cup.and.saucer.fill") : QStringLiteral("cup.and.saucer"));
    keepAwake_->setText(active ? tr("当前：保持唤醒已开启") : tr("当前：保持唤醒未开启"));
}

void GestureActionConfigurationView::refreshPreviewMessage() {
    if (!previewLine_) return;
    previewLine_->setVisible(bool(previewMessage_));
    previewLine_->setText(previewMessage_.value_or(QString()));
}

void GestureActionConfigurationView::rebuild() {
    if (body_) {
        column_->removeWidget(body_);
        body_->hide();
        body_->deleteLater();
    }
    permission_ = nullptr;
    keepAwake_ = nullptr;
    parameters_ = nullptr;
    application_ = nullptr;
    recorder_ = nullptr;
    previewLine_ = nullptr;

    const GestureAction action = configuration_.action;
    body_ = new QWidget;
    auto* rows = new QVBoxLayout(body_);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(16);

    auto* header = new QHBoxLayout;
    header->setSpacing(10);
    header->addWidget(new GestureActionIcon(action, 32));
    auto* title = new kit::StyledLabel(glidra::title(action), kit::TextStyle::headline);
    title->setObjectName(QStringLiteral("actionTitle"));
    header->addWidget(title, 1);
    rows->addLayout(header);

    if (const auto detail = glidra::detail(action)) {
        auto* explanation = new kit::StyledLabel(*detail, kit::TextStyle::callout, kit::KitColour::secondary);
        explanation->setObjectName(QStringLiteral("actionDetail"));
        explanation->setWordWrap(true);
        rows->addWidget(explanation);
    }

    permission_ = new ActionPermissionHelpView(context_.accessibilityTrust, context_.scenePhase, action);
    rows->addWidget(permission_);

    if (contains(kKeepAwakeActions, action)) {
        keepAwake_ = new kit::SymbolLabel;
        keepAwake_->setObjectName(QStringLiteral("keepAwakeState"));
        keepAwake_->setTextStyle(kit::TextStyle::callout);
        keepAwake_->setColour(kit::KitColour::secondary);
        rows->addWidget(keepAwake_);
        refreshKeepAwake();
    }

    // Said at the action, so that nobody binds a gesture that cannot work.
    if (const auto reason = unavailabilityOnDesktop(action, currentDesktopAbilities(context_))) {
        auto* unavailable = new kit::SymbolLabel(QStringLiteral("exclamationmark.triangle"), *reason);
        unavailable->setObjectName(QStringLiteral("actionUnavailable"));
        unavailable->setTextStyle(kit::TextStyle::callout);
        unavailable->setColour(kit::KitColour::secondary);
        rows->addWidget(unavailable);
    }

    parameters_ = new ActionParameterEditor(context_, action);
    if (parameters_->hasContent()) {
        parameters_->setParameters(configuration_.editableParameters());
        rows->addWidget(parameters_);
        connect(parameters_, &ActionParameterEditor::parametersChanged, this,
                [this](const ActionParameters& parameters) {
                    ActionConfiguration next = configuration_;
                    next.parameters = parameters;
                    edit(next);
                });
    } else {
        delete std::exchange(parameters_, nullptr);
    }

    const auto addPreview = [this, rows](const QString& text) {
        auto* button = new QPushButton(text);
        button->setObjectName(QStringLiteral("previewAction"));
        button->setAutoDefault(false);
        rows->addWidget(button, 0, Qt::AlignLeft);
        previewLine_ = new kit::StyledLabel({}, kit::TextStyle::caption, kit::KitColour::secondary);
        previewLine_->setObjectName(QStringLiteral("previewMessage"));
        previewLine_->setWordWrap(true);
        rows->addWidget(previewLine_);
        refreshPreviewMessage();
        connect(button, &QPushButton::clicked, this, &GestureActionConfigurationView::previewCurrentAction);
    };
    if (contains(kPreviewActions, action)) addPreview(tr("试一下"));

    if (contains(kOpenPreviewActions, action)) {
        addPreview(tr("打开看看"));
    } else if (action == GestureAction::openApplication) {
        auto* divider = new QFrame;
        divider->setObjectName(QStringLiteral("applicationDivider"));
        divider->setFrameShape(QFrame::HLine);
        divider->setFrameShadow(QFrame::Plain);
        divider->setForegroundRole(QPalette::Mid);
        rows->addWidget(divider);
        application_ = new ApplicationTargetPicker(context_);
        application_->setSelection(configuration_.applicationTarget);
        rows->addWidget(application_);
        connect(application_, &ApplicationTargetPicker::selectionChanged, this,
                [this](const std::optional<ApplicationTarget>& target) {
                    ActionConfiguration next = configuration_;
                    next.applicationTarget = target;
                    edit(next);
                });
    } else if (action == GestureAction::customShortcut) {
        auto* hint = new kit::StyledLabel(tr("直接录入，或手动选择系统组合键。"), kit::TextStyle::callout,
                                          kit::KitColour::secondary);
        hint->setObjectName(QStringLiteral("shortcutHint"));
        hint->setWordWrap(true);
        rows->addWidget(hint);
        recorder_ = new ShortcutRecorder(context_);
        recorder_->setShortcut(configuration_.shortcut);
        rows->addWidget(recorder_);
        connect(recorder_, &ShortcutRecorder::shortcutChanged, this,
                [this](const std::optional<KeyboardShortcut>& shortcut) {
                    ActionConfiguration next = configuration_;
                    next.shortcut = shortcut;
                    edit(next);
                });
    }
    column_->addWidget(body_);
}

}  // namespace glidra
