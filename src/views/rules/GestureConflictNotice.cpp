#include "views/rules/GestureConflictNotice.h"

#include "views/kit/PlainButton.h"
#include "views/kit/SymbolLabel.h"
#include "views/rules/GestureConflictCard.h"
#include "views/rules/RuleLookup.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

GestureConflictNotice::GestureConflictNotice(ViewContext& context, std::vector<GestureRuleConflict> conflicts,
                                             std::vector<GestureRule> rules, QUuid draftID, QWidget* parent)
    : RoundedBox(kit::KitColour::quaternary, 12, parent),
      context_(context),
      conflicts_(std::move(conflicts)),
      rules_(std::move(rules)),
      draftID_(draftID),
      headline_(new kit::SymbolLabel),
      toggle_(new kit::PlainButton({}, kit::TextStyle::caption)),
      details_(new QWidget),
      detailsLayout_(new QVBoxLayout(details_)) {
    setObjectName(QStringLiteral("conflictNotice"));
    setFillOpacity(0.4);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);

    headline_->setObjectName(QStringLiteral("headline"));
    headline_->setTextStyle(kit::TextStyle::callout, QFont::Medium);
    toggle_->setObjectName(QStringLiteral("toggleDetails"));
    details_->setObjectName(QStringLiteral("details"));
    detailsLayout_->setContentsMargins(0, 0, 0, 0);
    detailsLayout_->setSpacing(10);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(12);
    header->addWidget(headline_, 1, Qt::AlignTop);
    header->addWidget(toggle_, 0, Qt::AlignTop);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addLayout(header);
    layout->addWidget(details_);

    sync();
    connect(toggle_, &kit::PlainButton::clicked, this, [this] { setShowsDetails(!showsDetails_); });
}

void GestureConflictNotice::setConflicts(std::vector<GestureRuleConflict> conflicts, std::vector<GestureRule> rules,
                                         QUuid draftID) {
    const bool changed = conflicts != conflicts_;
    conflicts_ = std::move(conflicts);
    rules_ = std::move(rules);
    draftID_ = draftID;
    if (changed) showsDetails_ = false;
    sync();
}

void GestureConflictNotice::setShowsDetails(bool shows) {
    if (shows == showsDetails_) return;
    showsDetails_ = shows;
    sync();
}

bool GestureConflictNotice::hasDuplicate(const std::vector<GestureRuleConflict>& conflicts) {
    return std::any_of(conflicts.begin(), conflicts.end(),
                       [](const auto& conflict) { return conflict.kind == GestureRuleConflict::Kind::duplicate; });
}

QString GestureConflictNotice::summary(const std::vector<GestureRuleConflict>& conflicts,
                                       const std::vector<GestureRule>& rules, QUuid draftID) {
    const QString fallback = tr("手势设置有重叠");
    if (conflicts.empty()) return fallback;
    const auto duplicate = std::find_if(conflicts.begin(), conflicts.end(), [](const auto& conflict) {
        return conflict.kind == GestureRuleConflict::Kind::duplicate;
    });
    const GestureRuleConflict& primary = duplicate != conflicts.end() ? *duplicate : conflicts.front();
    const QUuid otherID = primary.firstID == draftID ? primary.secondID : primary.firstID;
    const GestureRule* other = findRule(rules, otherID);
    if (!other) return fallback;
    const QString count = conflicts.size() < 2 ? QString() : tr("（共 %1 条）").arg(conflicts.size());
    if (primary.kind == GestureRuleConflict::Kind::duplicate) {
        return tr("此手势已绑定“%1”").arg(other->actionTitle()) + count;
    }
    return tr("与“%1”的触发区域重叠").arg(other->actionTitle()) + count;
}

void GestureConflictNotice::sync() {
    const bool duplicate = hasDuplicate(conflicts_);
    headline_->setText(summary(conflicts_, rules_, draftID_));
    headline_->setSymbol(duplicate ? QStringLiteral("exclamationmark.triangle") : QStringLiteral("info.circle"));
    headline_->setColour(duplicate ? kit::KitColour::orangeText : kit::KitColour::secondary);
    toggle_->setText(showsDetails_ ? tr("收起") : tr("查看详情"));
    toggle_->setAccessibleDescription(showsDetails_ ? tr("已展开") : tr("已收起"));
    toggle_->updateGeometry();
    // Cards added to a hidden container show with it at once.
    details_->setVisible(false);
    rebuildCards();
    details_->setVisible(showsDetails_);
}

// Cards exist only while shown, built from the current lists.
void GestureConflictNotice::rebuildCards() {
    while (auto* item = detailsLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (!showsDetails_) return;
    for (const auto& conflict : conflicts_) {
        const GestureRule* first = findRule(rules_, conflict.firstID);
        const GestureRule* second = findRule(rules_, conflict.secondID);
        if (!first || !second) continue;
        detailsLayout_->addWidget(new GestureConflictCard(context_, conflict, *first, *second, draftID_));
    }
}

}  // namespace glidra
