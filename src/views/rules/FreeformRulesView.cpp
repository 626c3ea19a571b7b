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
#include "views/rules/GestureRuleRow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace glidra {

namespace {

GestureRuleRow::Badge badgeOf(const GestureRule& rule, const std::vector<GestureRuleConflict>& conflicts) {
    auto badge = GestureRuleRow::Badge::none;
    for (const GestureRuleConflict& conflict : conflicts) {
        if (conflict.firstID != rule.id && conflict.secondID != rule.id) continue;
        if (conflict.kind == GestureRuleConflict::Kind::duplicate) return GestureRuleRow::Badge::duplicate;
        badge = GestureRuleRow::Badge::overlap;
    }
    return badge;
}

}  // namespace

FreeformRulesView::FreeformRulesView(ViewContext& context, QWidget* parent)
    : QWidget(parent), context_(context), settings_(context.settings), controller_(context.controller) {
    setObjectName(QStringLiteral("freeformRules"));

    bannerSlot_ = new QVBoxLayout;
    bannerSlot_->setContentsMargins(0, 0, 0, 0);
    rows_ = new QVBoxLayout;
    rows_->setContentsMargins(0, 0, 0, 0);
    rows_->setSpacing(10);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(20);
    layout->addWidget(buildHeader());
    layout->addLayout(bannerSlot_);
    emptyState_ = buildEmptyState();
    layout->addWidget(emptyState_);
    layout->addLayout(rows_);

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

    // A row whose rule changed is built anew; where the focus was in it, it
    // goes to the same control of the new row. A row's own signal may be what
    // led here, so old rows are discarded, never deleted at once.
    QWidget* focused = QApplication::focusWidget();
    std::optional<std::pair<QUuid, QString>> focus;
    for (const auto& [id, built] : builtRows_) {
        if (built.row && focused && built.row->isAncestorOf(focused)) focus = std::pair{id, focused->objectName()};
    }
    while (auto* item = rows_->takeAt(0)) delete item;
    std::map<QUuid, BuiltRow> kept;
    for (const GestureRule& rule : rules) {
        const auto badge = badgeOf(rule, conflicts);
        const auto old = builtRows_.find(rule.id);
        if (old != builtRows_.end() && old->second.row && old->second.rule == rule && old->second.badge == badge) {
            rows_->addWidget(old->second.row);
            kept.emplace(rule.id, std::move(old->second));
            builtRows_.erase(old);
            continue;
        }
        auto* row = buildRow(rule, badge);
        rows_->addWidget(row);
        kept.emplace(rule.id, BuiltRow{row, rule, badge});
        if (focus && focus->first == rule.id) {
            if (auto* control = row->findChild<QWidget*>(focus->second)) control->setFocus(Qt::OtherFocusReason);
        }
    }
    for (auto& [id, built] : builtRows_) kit::discard(built.row);
    builtRows_ = std::move(kept);
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
