#include "views/rules/GestureRuleRow.h"

#include "views/ViewContext.h"
#include "views/actions/ApplicationDisplayName.h"
#include "views/actions/CurrentDesktopAbilities.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/Switch.h"
#include "views/kit/SymbolLabel.h"
#include "views/pages/Divider.h"
#include "views/rules/GestureRegionButton.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace glidra {

GestureRuleRow::GestureRuleRow(ViewContext& context, const GestureRule& rule, Badge badge, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("ruleRow:") + rule.id.toString(QUuid::WithoutBraces).toUpper());
    const QString gestureTitle = rule.gesture.title();

    auto* enabled = new kit::Switch;
    enabled->setObjectName(QStringLiteral("enabled"));
    enabled->setChecked(rule.isEnabled);
    // Rules of the same gesture differ by their action.
    enabled->setAccessibleName(tr("启用 ") + gestureTitle + tr("：") + rule.actionTitle());
    enabled->setToolTip(rule.isEnabled ? tr("点击停用此手势") : tr("点击启用此手势"));

    auto* title = new kit::StyledLabel(gestureTitle, kit::TextStyle::headline,
                                       rule.isEnabled ? kit::KitColour::primary : kit::KitColour::secondary);
    title->setObjectName(QStringLiteral("title"));
    auto* titleLine = new QHBoxLayout;
    titleLine->setContentsMargins(0, 0, 0, 0);
    titleLine->setSpacing(8);
    titleLine->addWidget(title, 0, Qt::AlignVCenter);
    if (badge != Badge::none) {
        const bool duplicate = badge == Badge::duplicate;
        auto* mark = new kit::StyledLabel(duplicate ? tr("重复手势") : tr("范围重叠"), kit::TextStyle::caption2,
                                          duplicate ? kit::KitColour::orangeText : kit::KitColour::secondary);
        mark->setObjectName(QStringLiteral("badge"));
        titleLine->addWidget(mark, 0, Qt::AlignVCenter);
    }
    titleLine->addStretch(1);

    auto* summaryLine =
        new kit::StyledLabel(summary(rule, context), kit::TextStyle::caption, kit::KitColour::secondary);
    summaryLine->setObjectName(QStringLiteral("summary"));
    summaryLine->setWordWrap(true);

    auto* block = new QVBoxLayout;
    block->setContentsMargins(0, 0, 0, 0);
    block->setSpacing(4);
    block->addLayout(titleLine);
    block->addWidget(summaryLine);
    // A rule kept from elsewhere whose action this desktop cannot run.
    if (const auto reason = unavailabilityOnDesktop(rule.action, currentDesktopAbilities(context))) {
        auto* unavailable = new kit::SymbolLabel(QStringLiteral("exclamationmark.triangle"), *reason);
        unavailable->setObjectName(QStringLiteral("actionUnavailable"));
        unavailable->setTextStyle(kit::TextStyle::caption);
        unavailable->setColour(kit::KitColour::secondary);
        block->addWidget(unavailable);
    }
    if (rule.requiredModifiers != 0) {
        auto* modifiers = new kit::StyledLabel(tr("需同时按住组合键"), kit::TextStyle::caption);
        modifiers->setObjectName(QStringLiteral("modifiers"));
        block->addWidget(modifiers);
    }

    auto* region = new GestureRegionButton(context, true);
    region->setFields(GestureRegionFields::of(rule));
    region->setAccessibleName(gestureTitle + tr("的触发区域"));
    auto* edit = new QPushButton(tr("编辑"));
    edit->setObjectName(QStringLiteral("edit"));
    auto* remove = new QPushButton(tr("删除"));
    remove->setObjectName(QStringLiteral("delete"));
    // Every row has the same two buttons: their spoken names say which rule.
    const QString which = gestureTitle + tr("：") + rule.actionTitle();
    edit->setAccessibleName(tr("编辑 %1").arg(which));
    remove->setAccessibleName(tr("删除 %1").arg(which));

    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    line->addWidget(enabled, 0, Qt::AlignVCenter);
    line->addLayout(block, 1);
    line->addWidget(region, 0, Qt::AlignVCenter);
    line->addWidget(edit, 0, Qt::AlignVCenter);
    line->addWidget(remove, 0, Qt::AlignVCenter);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    layout->addLayout(line);
    layout->addWidget(glidra::divider());

    connect(enabled, &kit::Switch::clicked, this, &GestureRuleRow::enabledClicked);
    connect(region, &GestureRegionButton::regionChosen, this, &GestureRuleRow::regionChosen);
    connect(edit, &QPushButton::clicked, this, &GestureRuleRow::editClicked);
    connect(remove, &QPushButton::clicked, this, &GestureRuleRow::deleteClicked);
}

QString GestureRuleRow::summary(const GestureRule& rule, ViewContext& context) {
    QStringList parts{rule.actionTitle()};
    if (!rule.appBundleID.isEmpty()) parts << applicationDisplayName(rule.appBundleID, context.workspace);
    if (rule.region && *rule.region != GestureRegion::anywhere) parts << rule.regionTitle();
    return parts.join(QStringLiteral(" · "));
}

}  // namespace glidra
