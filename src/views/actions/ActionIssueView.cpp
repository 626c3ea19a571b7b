#include "views/actions/ActionIssueView.h"

#include "platform/AccessibilityTrust.h"
#include "views/kit/SymbolLabel.h"
#include "views/kit/Symbols.h"
#include "views/kit/SystemSettingsPanes.h"

#include <QPushButton>
#include <QToolButton>

namespace glidra {

ActionIssueView::ActionIssueView(const QString& issue, const AccessibilityTrust& trust, QWidget* parent)
    : kit::StatusBanner(QStringLiteral("exclamationmark.circle"), issue, parent) {
    setObjectName(QStringLiteral("actionIssue"));
    message()->setObjectName(QStringLiteral("issueText"));

    if (!trust.isProcessTrusted() && kit::canOpenSystemSettingsPane(kit::SystemSettingsPane::accessibility)) {
        auto* settings = new QPushButton(tr("权限设置"));
        settings->setObjectName(QStringLiteral("permissionSettings"));
        addTrailingWidget(settings);
    }

    auto* close = new QToolButton;
    close->setObjectName(QStringLiteral("dismissIssue"));
    close->setIcon(kit::symbolIcon(QStringLiteral("xmark")));
    close->setAutoRaise(true);
    close->setAccessibleName(tr("关闭提示"));
    close->setCursor(Qt::PointingHandCursor);
    addTrailingWidget(close);
    connect(close, &QToolButton::clicked, this, &ActionIssueView::dismissed);
}

}  // namespace glidra
