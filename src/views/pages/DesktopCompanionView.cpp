#include "views/pages/DesktopCompanionView.h"

#include "platform/DesktopIntegration.h"
#include "views/kit/CaptionLine.h"
#include "views/kit/GroupBox.h"
#include "views/kit/SymbolLabel.h"

#include <QVBoxLayout>

namespace glidra {

DesktopCompanionView::DesktopCompanionView(DesktopIntegration& desktop, QWidget* parent)
    : QWidget(parent), desktop_(desktop), status_(new kit::SymbolLabel), help_(new kit::CaptionLine) {
    setObjectName(QStringLiteral("desktopCompanion"));
    status_->setObjectName(QStringLiteral("desktopCompanionStatus"));
    help_->setObjectName(QStringLiteral("desktopCompanionHelp"));
    auto* group = new kit::GroupBox(tr("桌面扩展"));
    group->addWidget(status_);
    group->addWidget(help_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);

    sync();
    connect(&desktop_, &DesktopIntegration::changed, this, &DesktopCompanionView::sync);
}

void DesktopCompanionView::sync() {
    using Companion = DesktopIntegration::Companion;
    const Companion companion = desktop_.companion();
    setHidden(companion == Companion::none);
    if (companion == Companion::none) return;
    const bool gnome = companion == Companion::gnomeShellExtension;
    const bool connected = desktop_.isCompanionConnected();
    if (connected) {
        status_->setSymbol(QStringLiteral("checkmark.circle"));
        status_->setText(gnome ? tr("Glidra 的 GNOME Shell 扩展已启用") : tr("Glidra 的 KWin 脚本正在运行"));
        help_->setText(tr("原生 Wayland 窗口也能识别为前台应用，并可调整布局、关闭和隐藏。"));
        return;
    }
    status_->setSymbol(QStringLiteral("exclamationmark.triangle"));
    status_->setText(gnome ? tr("未检测到 Glidra 的 GNOME Shell 扩展") : tr("Glidra 的 KWin 脚本未运行"));
    help_->setText(gnome
                       ? tr("没有它，原生 Wayland 窗口在前台时无法识别应用，也无法调整布局；"
                            "GNOME 的三指滑动也无法由 Glidra 关闭。安装 Glidra 后注销并重新登录，"
                            "再在“扩展”应用中打开 Glidra，或运行 gnome-extensions enable glidra@glidra.github.io。")
                       : tr("没有它，原生 Wayland 窗口在前台时无法识别应用，也无法调整布局。Glidra 启动时会自动加载它；"
                            "若仍未运行，请在系统设置 → 窗口管理 → KWin 脚本中启用 Glidra。"));
}

}  // namespace glidra
