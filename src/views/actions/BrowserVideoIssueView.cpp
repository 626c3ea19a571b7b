#include "views/actions/BrowserVideoIssueView.h"

#include "views/kit/SymbolLabel.h"
#include "views/kit/Symbols.h"

#include <QToolButton>

namespace glidra {

BrowserVideoIssueView::BrowserVideoIssueView(const QString& issue, QWidget* parent)
    : kit::StatusBanner(QStringLiteral("exclamationmark.circle"), issue, parent) {
    setObjectName(QStringLiteral("videoControlIssue"));
    message()->setObjectName(QStringLiteral("issueText"));
    message()->setColour(kit::KitColour::secondary);

    auto* close = new QToolButton;
    close->setObjectName(QStringLiteral("dismissIssue"));
    close->setIcon(kit::symbolIcon(QStringLiteral("xmark"), kit::KitColour::secondary));
    close->setIconSize(QSize(11, 11));
    close->setFixedSize(24, 24);
    close->setAutoRaise(true);
    close->setToolTip(tr("关闭提示"));
    close->setAccessibleName(tr("关闭提示"));
    close->setCursor(Qt::PointingHandCursor);
    addTrailingWidget(close);
    connect(close, &QToolButton::clicked, this, &BrowserVideoIssueView::dismissed);
}

}  // namespace glidra
