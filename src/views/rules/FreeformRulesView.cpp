#include "views/rules/FreeformRulesView.h"

#include "settings/ControlSettings.h"
#include "trackpad/TrackpadController.h"
#include "views/ViewContext.h"
#include "views/kit/Discard.h"
#include "views/kit/FlatSymbolButton.h"
#include "views/kit/ProminentButton.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolView.h"
#include "views/kit/Symbols.h"
#include "views/rules/GestureConflictInspector.h"
#include "views/rules/GestureRuleEditor.h"
#include "views/rules/GestureRuleList.h"
#include "views/rules/GestureRuleRow.h"

#include <QHBoxLayout>
#include <QHash>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

// Each rule's mark: a duplicate wins over an overlap.
std::vector<GestureRuleRow::Badge> badgesOf(const std::vector<GestureRule>& rules,
                                            const std::vector<GestureRuleConflict>& conflicts) {
    QHash<QUuid, GestureRuleRow::Badge> marks;
    const auto mark = [&marks](const QUuid& id, GestureRuleConflict::Kind kind) {
        auto& badge = marks[id];
        if (kind == GestureRuleConflict::Kind::duplicate) {
            badge = GestureRuleRow::Badge::duplicate;
        } else if (badge == GestureRuleRow::Badge::none) {
            badge = GestureRuleRow::Badge::overlap;
        }
    };
    for (const GestureRuleConflict& conflict : conflicts) {
        mark(conflict.firstID, conflict.kind);
        mark(conflict.secondID, conflict.kind);
    }
    std::vector<GestureRuleRow::Badge> badges;
    badges.reserve(rules.size());
    for (const GestureRule& rule : rules) badges.push_back(marks.value(rule.id, GestureRuleRow::Badge::none));
    return badges;
}

}  // namespace

FreeformRulesView::FreeformRulesView(ViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context), settings_(context.settings), controller_(context.controller) {
    setObjectName(QStringLiteral("freeformRules"));

    bannerSlot_ = new QVBoxLayout;
    bannerSlot_->setContentsMargins(0, 0, 0, 0);
    list_ = new GestureRuleList(
        [this](const GestureRule& rule, GestureRuleRow::Badge badge) { return buildRow(rule, badge); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(buildHeader());
    layout->addLayout(bannerSlot_);
    emptyState_ = buildEmptyState();
    layout->addWidget(emptyState_);
    layout->addWidget(list_);
    list_->setTabAnchor(findChild<QPushButton*>(QStringLiteral("addRule")));

    sync();
    // Connected after the first fill: showing the page changes nothing.
    connect(&settings_, &ControlSettings::rulesChanged, this, [this] {
        // No gesture in flight may complete against the old rules.
        controller_.resetGestureState();
        sync();
    });
    connect(&settings_, &ControlSettings::edgeWidthChanged, this, &FreeformRulesView::sync);
}

QWidget* FreeformRulesView::buildHeader() {
    auto* header = new QWidget;
    count_ = new kit::StyledLabel({}, kit::TextStyle::body, kit::KitColour::secondary);
    count_->setObjectName(QStringLiteral("ruleCount"));
    auto* add = new QPushButton(kit::symbolIcon(QStringLiteral("plus")), tr("添加手势"));
    add->setObjectName(QStringLiteral("addRule"));
    kit::makeProminent(add);
    auto* layout = new QHBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(count_, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    layout->addWidget(add, 0, Qt::AlignVCenter);
    connect(add, &QPushButton::clicked, this, &FreeformRulesView::addRule);
    return header;
}

QWidget* FreeformRulesView::buildEmptyState() {
    auto* empty = new QWidget;
    empty->setObjectName(QStringLiteral("emptyState"));
    empty->setMinimumHeight(260);
    auto* symbol = new kit::SymbolView(QStringLiteral("hand.draw"), kit::KitColour::secondary);
    symbol->setFixedSize(44, 44);
    auto* heading = new kit::StyledLabel(tr("还没有手势"));
    heading->setTextStyle(kit::TextStyle::title2, QFont::Bold);
    auto* description =
        new kit::StyledLabel(tr("添加手势，选择要执行的动作。"), kit::TextStyle::body, kit::KitColour::secondary);
    auto* layout = new QVBoxLayout(empty);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addWidget(description, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return empty;
}

void FreeformRulesView::sync() {
    const auto& rules = settings_.rules();
    const auto conflicts = GestureRuleConflict::detectAll(rules, float(settings_.edgeWidth()));
    const auto duplicates = std::count_if(conflicts.begin(), conflicts.end(), [](const GestureRuleConflict& c) {
        return c.kind == GestureRuleConflict::Kind::duplicate;
    });

    count_->setText(tr("%1 个手势").arg(rules.size()));

    kit::discard(banner_);
    if (!conflicts.empty()) {
        const bool duplicate = duplicates > 0;
        auto* banner = new kit::FlatSymbolButton(
            duplicate ? QStringLiteral("exclamationmark.triangle") : QStringLiteral("info.circle"),
            duplicate ? tr("有 %1 组重复手势，查看详情").arg(duplicates)
                      : tr("有 %1 组手势范围重叠，查看详情").arg(conflicts.size()),
            duplicate ? kit::KitColour::orangeText : kit::KitColour::secondary);
        banner->setObjectName(QStringLiteral("conflictBanner"));
        banner->setPadding(QMargins(0, 2, 0, 2));
        kit::setTextStyle(banner, kit::TextStyle::callout);
        connect(banner, &QAbstractButton::clicked, this, &FreeformRulesView::showConflicts);
        banner_ = banner;
        bannerSlot_->addWidget(banner);
    }

    emptyState_->setVisible(rules.empty());
    list_->setRules(rules, badgesOf(rules, conflicts));
}

GestureRuleRow* FreeformRulesView::buildRow(const GestureRule& rule, GestureRuleRow::Badge badge) {
    auto* row = new GestureRuleRow(context_, rule, badge);
    const QUuid id = rule.id;
    connect(row, &GestureRuleRow::enabledClicked, this,
            [this, id](bool enabled) { updateRule(id, [enabled](GestureRule& r) { r.isEnabled = enabled; }); });
    connect(row, &GestureRuleRow::regionChosen, this, [this, id](const GestureRegionFields& fields) {
        updateRule(id, [&fields](GestureRule& r) { fields.applyTo(r); });
    });
    connect(row, &GestureRuleRow::editClicked, this, [this, id] {
        const auto& current = settings_.rules();
        const auto found = std::find_if(current.begin(), current.end(), [&](const auto& r) { return r.id == id; });
        if (found != current.end()) editRule(*found);
    });
    connect(row, &GestureRuleRow::deleteClicked, this, [this, id] { confirmDelete(id); });
    return row;
}

void FreeformRulesView::updateRule(const QUuid& id, const std::function<void(GestureRule&)>& change) {
    auto rules = settings_.rules();
    const auto found = std::find_if(rules.begin(), rules.end(), [&](const GestureRule& r) { return r.id == id; });
    if (found == rules.end()) return;
    change(*found);
    settings_.setRules(std::move(rules));
}

void FreeformRulesView::saveRule(const GestureRule& rule) {
    // Stored and written in one assignment.
    settings_.setRules(upserting(settings_.rules(), rule));
}

void FreeformRulesView::deleteRule() {
    if (!ruleToDelete_) return;
    const QUuid id = *ruleToDelete_;
    auto rules = settings_.rules();
    std::erase_if(rules, [&](const GestureRule& r) { return r.id == id; });
    settings_.setRules(std::move(rules));
    ruleToDelete_.reset();
}

void FreeformRulesView::addRule() { editRule(GestureRule()); }

void FreeformRulesView::editRule(const GestureRule& rule) {
    if (editor_) return;
    editor_ = new GestureRuleEditor(
        context_, rule, [this](GestureRule saved) { saveRule(saved); }, this);
    editor_->open();
}

void FreeformRulesView::confirmDelete(const QUuid& id) {
    if (deleteConfirmation_) return;
    ruleToDelete_ = id;
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("deleteConfirmation"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setIcon(QMessageBox::NoIcon);
    box->setText(tr("确认删除？"));
    auto* cancel = box->addButton(tr("取消"), QMessageBox::RejectRole);
    cancel->setObjectName(QStringLiteral("cancelDelete"));
    auto* confirm = box->addButton(tr("确认"), QMessageBox::DestructiveRole);
    confirm->setObjectName(QStringLiteral("confirmDelete"));
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(box, &QMessageBox::finished, this, [this, box, confirm] {
        if (box->clickedButton() == confirm) deleteRule();
        ruleToDelete_.reset();
    });
    deleteConfirmation_ = box;
    box->open();
}

void FreeformRulesView::showConflicts() {
    if (inspector_) return;
    inspector_ = new GestureConflictInspector(context_, settings_.rules(), float(settings_.edgeWidth()), this);
    connect(inspector_, &QDialog::finished, this, [this] { controller_.setReviewingConflicts(false); });
    inspector_->open();
}

}  // namespace glidra
