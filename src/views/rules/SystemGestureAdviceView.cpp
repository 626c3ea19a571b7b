#include "views/rules/SystemGestureAdviceView.h"

#include "platform/DesktopIntegration.h"
#include "views/kit/PlainButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SwitchRow.h"
#include "views/kit/SymbolLabel.h"

#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

void clear(QVBoxLayout* layout) {
    while (auto* item = layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
}

kit::StyledLabel* selectable(kit::StyledLabel* label) {
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

}  // namespace

SystemGestureAdviceView::SystemGestureAdviceView(const GestureRule& rule, DesktopIntegration& desktop, QWidget* parent)
    : QWidget(parent),
      desktop_(desktop),
      desktopKind_(desktop.gestureDesktop()),
      advice_(SystemGestureAdvice::advice(rule, desktopKind_)),
      risks_(new QVBoxLayout),
      toggle_(new kit::PlainButton({}, kit::TextStyle::caption)),
      resolutions_(new QWidget),
      resolutionsLayout_(new QVBoxLayout(resolutions_)) {
    setObjectName(QStringLiteral("systemGestureAdvice"));
    toggle_->setObjectName(QStringLiteral("toggleResolution"));
    resolutions_->setObjectName(QStringLiteral("resolutions"));
    risks_->setContentsMargins(0, 0, 0, 0);
    risks_->setSpacing(10);
    resolutionsLayout_->setContentsMargins(0, 0, 0, 0);
    resolutionsLayout_->setSpacing(10);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addLayout(risks_);
    layout->addWidget(toggle_, 0, Qt::AlignLeading);
    layout->addWidget(resolutions_);

    rebuild();
    connect(toggle_, &kit::PlainButton::clicked, this, [this] { setShowsResolution(!showsResolution_); });
    connect(&desktop_, &DesktopIntegration::changed, this, &SystemGestureAdviceView::syncSwipeSwitch);
}

void SystemGestureAdviceView::setRule(const GestureRule& rule) {
    auto advice = SystemGestureAdvice::advice(rule, desktopKind_);
    if (advice == advice_) return;
    advice_ = std::move(advice);
    showsResolution_ = false;
    rebuild();
}

void SystemGestureAdviceView::setShowsResolution(bool shows) {
    if (shows == showsResolution_) return;
    showsResolution_ = shows;
    syncExpansion();
}

void SystemGestureAdviceView::rebuild() {
    clear(risks_);
    clear(resolutionsLayout_);
    for (const auto& entry : advice_) {
        auto* risk = new kit::SymbolLabel(QStringLiteral("exclamationmark.triangle"), entry.risk);
        risk->setObjectName(QStringLiteral("risk:") + entry.id);
        risk->setTextStyle(kit::TextStyle::callout);
        risk->setColour(kit::KitColour::secondary);
        selectable(risk->label());
        risks_->addWidget(risk);
        risk->setVisible(true);

        auto* resolution =
            selectable(new kit::StyledLabel(entry.resolution, kit::TextStyle::caption, kit::KitColour::secondary));
        resolution->setObjectName(QStringLiteral("resolution:") + entry.id);
        resolutionsLayout_->addWidget(resolution);
    }
    swipeSwitch_ = nullptr;
    swipeSwitchNote_ = nullptr;
    if (offersSwipeSwitch()) {
        swipeSwitch_ = new kit::SwitchRow(tr("Glidra 运行时关闭 GNOME 三指滑动"));
        swipeSwitch_->setObjectName(QStringLiteral("systemSwipesOff"));
        resolutionsLayout_->addWidget(swipeSwitch_);
        swipeSwitchNote_ = selectable(new kit::StyledLabel({}, kit::TextStyle::caption, kit::KitColour::secondary));
        swipeSwitchNote_->setObjectName(QStringLiteral("systemSwipesOffNote"));
        resolutionsLayout_->addWidget(swipeSwitchNote_);
        connect(swipeSwitch_, &kit::SwitchRow::clicked, &desktop_, &DesktopIntegration::setSystemSwipesOff);
    }
    disclaimer_ = selectable(new kit::StyledLabel({}, kit::TextStyle::caption, kit::KitColour::secondary));
    disclaimer_->setObjectName(QStringLiteral("disclaimer"));
    resolutionsLayout_->addWidget(disclaimer_);
    syncSwipeSwitch();
    syncExpansion();
    // Nothing at all, not even space, without advice. A view without a parent
    // is left for its owner to show, or it would open as a window.
    if (advice_.empty()) {
        setVisible(false);
    } else if (parentWidget()) {
        setVisible(true);
    }
}

bool SystemGestureAdviceView::offersSwipeSwitch() const {
    if (desktopKind_ != SystemGestureDesktop::gnome) return false;
    return std::any_of(advice_.begin(), advice_.end(),
                       [](const SystemGestureAdvice& entry) { return entry.id == QLatin1String("system-spaces"); });
}

void SystemGestureAdviceView::syncSwipeSwitch() {
    disclaimer_->setText(swipeSwitch_ ? tr("除上方开关外，Glidra 不会读取或更改系统手势设置。")
                                      : tr("Glidra 不会读取或更改系统手势开关。"));
    if (!swipeSwitch_) return;
    const bool available = desktop_.canSwitchOffSystemSwipes();
    swipeSwitch_->setChecked(desktop_.systemSwipesOff());
    swipeSwitch_->setEnabled(available || desktop_.systemSwipesOff());
    swipeSwitchNote_->setText(available ? tr("Glidra 退出时，GNOME 的三指滑动自动恢复。")
                                        : tr("需要先启用 Glidra 的 GNOME Shell 扩展：见通用设置中的“桌面扩展”。"));
}

void SystemGestureAdviceView::syncExpansion() {
    toggle_->setText(showsResolution_ ? tr("收起处理方法") : tr("查看处理方法"));
    toggle_->setAccessibleDescription(showsResolution_ ? tr("已展开") : tr("已收起"));
    toggle_->updateGeometry();
    resolutions_->setVisible(showsResolution_);
}

}  // namespace glidra
