#include "views/actions/ActionPermissionHelpView.h"

#include "platform/AccessibilityTrust.h"
#include "platform/ScenePhase.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/SystemSettingsPanes.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

namespace glidra {

ActionPermissionHelpView::ActionPermissionHelpView(const AccessibilityTrust& trust, ScenePhase& scenePhase,
                                                   GestureAction action, QWidget* parent)
    : QWidget(parent), trust_(trust), action_(action), isGranted_(trust.isProcessTrusted()), notice_(new QWidget) {
    setObjectName(QStringLiteral("permissionHelp"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    notice_->setObjectName(QStringLiteral("permissionNotice"));
    auto* column = new QVBoxLayout(notice_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto* title = new kit::SymbolLabel(QStringLiteral("lock"), tr("此动作需要输入设备权限"));
    title->setTextStyle(kit::TextStyle::callout);
    column->addWidget(title);
    // Linux has no settings page to open: the line says what grants access.
    auto* explanation = new kit::CaptionLine(tr("用于发送鼠标、快捷键或调整窗口。") + kit::inputAccessInstruction());
    explanation->setObjectName(QStringLiteral("permissionExplanation"));
    column->addWidget(explanation);
    auto* buttons = new QHBoxLayout;
    auto* recheckButton = new QPushButton(tr("重新检查"));
    recheckButton->setObjectName(QStringLiteral("recheckPermission"));
    recheckButton->setAutoDefault(false);
    buttons->addWidget(recheckButton);
    buttons->addStretch(1);
    column->addLayout(buttons);
    outer->addWidget(notice_);

    connect(recheckButton, &QPushButton::clicked, this, &ActionPermissionHelpView::recheck);
    connect(&scenePhase, &ScenePhase::phaseChanged, this, [this](ScenePhase::Phase phase) {
        if (phase == ScenePhase::Phase::active) recheck();
    });
    refresh();
}

void ActionPermissionHelpView::setAction(GestureAction action) {
    if (action == action_) return;
    action_ = action;
    recheck();
}

bool ActionPermissionHelpView::isNoticeShown() const { return requiresAccessibility(action_) && !isGranted_; }

void ActionPermissionHelpView::recheck() {
    isGranted_ = trust_.isProcessTrusted();
    refresh();
}

void ActionPermissionHelpView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) recheck();
}

void ActionPermissionHelpView::refresh() { notice_->setVisible(isNoticeShown()); }

}  // namespace glidra
