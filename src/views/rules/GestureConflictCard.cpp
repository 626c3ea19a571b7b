#include "views/rules/GestureConflictCard.h"

#include "views/ViewContext.h"
#include "views/actions/ApplicationDisplayName.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolLabel.h"
#include "views/rules/GestureConflictRegionMap.h"

#include <QVBoxLayout>

namespace glidra {

GestureConflictCard::GestureConflictCard(ViewContext& context, const GestureRuleConflict& conflict,
                                         const GestureRule& first, const GestureRule& second,
                                         std::optional<QUuid> draftID, QWidget* parent)
    : RoundedBox(kit::KitColour::quaternary, 12, parent) {
    setObjectName(QStringLiteral("conflictCard:") + conflict.id());
    setFillOpacity(0.45);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    const KindLook look = kindLook(conflict.kind);
    auto* kind = new kit::SymbolLabel(look.symbol, look.title);
    kind->setObjectName(QStringLiteral("kind"));
    kind->setTextStyle(kit::TextStyle::headline);
    kind->setColour(look.colour);

    auto* gesture = new kit::StyledLabel(first.gesture.title(), kit::TextStyle::subheadline);
    gesture->setObjectName(QStringLiteral("gesture"));
    gesture->setTextStyle(kit::TextStyle::subheadline, QFont::Medium);

    const auto line = [&](const GestureRule& rule, const QString& marker, kit::KitColour colour, const char* name) {
        auto* label =
            new kit::StyledLabel(ruleRow(rule, marker, draftID, context.workspace), kit::TextStyle::caption, colour);
        label->setObjectName(QLatin1String(name));
        label->setWordWrap(true);
        return label;
    };

    auto* explained =
        new kit::StyledLabel(explanation(conflict, first, second, draftID, context.workspace), kit::TextStyle::callout);
    explained->setObjectName(QStringLiteral("explanation"));
    explained->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(12);
    layout->addWidget(kind);
    layout->addWidget(gesture);
    layout->addWidget(line(first, QStringLiteral("A"), kit::KitColour::blueText, "ruleLineA"));
    layout->addWidget(line(second, QStringLiteral("B"), kit::KitColour::purpleText, "ruleLineB"));
    layout->addWidget(explained);
    layout->addWidget(new GestureConflictRegionMap(conflict));
}

GestureConflictCard::KindLook GestureConflictCard::kindLook(GestureRuleConflict::Kind kind) {
    switch (kind) {
        case GestureRuleConflict::Kind::duplicate:
            return {tr("重复手势"), QStringLiteral("exclamationmark.triangle"), kit::KitColour::orangeText};
        case GestureRuleConflict::Kind::applicationOverride:
            return {tr("应用内设置优先"), QStringLiteral("info.circle"), kit::KitColour::secondary};
        case GestureRuleConflict::Kind::regionOverlap:
            return {tr("触发区域重叠"), QStringLiteral("info.circle"), kit::KitColour::secondary};
    }
    return {};
}

QString GestureConflictCard::ruleRow(const GestureRule& rule, const QString& marker, std::optional<QUuid> draftID,
                                     Workspace& workspace) {
    QString row = marker;
    if (draftID && *draftID == rule.id) row += tr("（当前编辑）");
    const QString separator = QStringLiteral(" · ");
    row += separator + rule.actionTitle();
    row += separator + applicationDisplayName(rule.appBundleID, workspace);
    row += separator + rule.regionTitle();
    return row;
}

QString GestureConflictCard::explanation(const GestureRuleConflict& conflict, const GestureRule& first,
                                         const GestureRule& second, std::optional<QUuid> draftID,
                                         Workspace& workspace) {
    const GestureRule& winner = conflict.winnerID == first.id ? first : second;
    const QString action = winner.actionTitle();
    switch (conflict.kind) {
        case GestureRuleConflict::Kind::duplicate:
            if (!draftID) return tr("这两条条件相同，优先执行列表靠前的“%1”。").arg(action);
            if (*draftID != winner.id) return tr("这两条条件相同，保存后仍优先执行已有的“%1”。").arg(action);
            return tr("这两条条件相同，保存后优先执行当前编辑的“%1”。").arg(action);
        case GestureRuleConflict::Kind::regionOverlap:
            if (first.specificity() != second.specificity()) {
                return tr("这两条中，重叠处优先执行指定区域的“%1”。重叠外不受影响。").arg(action);
            }
            return tr("这两条中，重叠处优先执行列表靠前的“%1”。").arg(action);
        case GestureRuleConflict::Kind::applicationOverride: {
            const QString& bundleID = first.appBundleID.isEmpty() ? second.appBundleID : first.appBundleID;
            return tr("这两条中，在 %1 的重叠区域优先执行“%2”。应用专属设置不会影响其他应用。")
                .arg(applicationDisplayName(bundleID, workspace), action);
        }
    }
    return {};
}

}  // namespace glidra
