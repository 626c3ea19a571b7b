#include "views/rules/GestureConflictInspector.h"

#include "trackpad/TrackpadController.h"
#include "views/ViewContext.h"
#include "views/kit/ScreenRoom.h"
#include "views/kit/StyledLabel.h"
#include "views/kit/SymbolView.h"
#include "views/rules/GestureConflictCard.h"
#include "views/rules/RuleLookup.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace glidra {

GestureConflictInspector::GestureConflictInspector(ViewContext& context, std::vector<GestureRule> rules,
                                                   float edgeWidth, QWidget* parent)
    : QDialog(parent),
      context_(context),
      controller_(context.controller),
      rules_(std::move(rules)),
      conflicts_(GestureRuleConflict::detectAll(rules_, edgeWidth)) {
    setObjectName(QStringLiteral("conflictInspector"));
    setWindowTitle(tr("手势检查"));
    setAttribute(Qt::WA_DeleteOnClose);
    kit::fixToScreen(this, QSize(600, 640));

    auto* title = new kit::StyledLabel(tr("手势检查"));
    title->setTextStyle(kit::TextStyle::title2, QFont::Bold);
    auto* done = new QPushButton(tr("完成"));
    done->setObjectName(QStringLiteral("done"));
    auto* header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->addWidget(title, 0, Qt::AlignVCenter);
    header->addStretch(1);
    header->addWidget(done, 0, Qt::AlignVCenter);

    auto* precedence =
        new kit::StyledLabel(tr("同一个手势先用当前应用的设置，再看触发区域；条件相同时用列表靠前的一项。"),
                             kit::TextStyle::callout, kit::KitColour::secondary);
    precedence->setObjectName(QStringLiteral("precedence"));
    precedence->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(18);
    layout->addLayout(header);
    layout->addWidget(precedence);
    layout->addWidget(conflicts_.empty() ? makeEmptyState() : makeCardList(), 1);

    // "完成" and Escape both end the review.
    connect(done, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &QDialog::finished, this, &GestureConflictInspector::endReview);
}

GestureConflictInspector::~GestureConflictInspector() { endReview(); }

QWidget* GestureConflictInspector::makeEmptyState() {
    auto* empty = new QWidget;
    empty->setObjectName(QStringLiteral("emptyState"));
    auto* symbol = new kit::SymbolView(QStringLiteral("checkmark.circle"), kit::KitColour::secondary);
    symbol->setFont(kit::font(kit::TextStyle::largeTitle));
    symbol->setFixedSize(48, 48);
    auto* heading = new kit::StyledLabel(tr("未发现重复或区域重叠"));
    heading->setTextStyle(kit::TextStyle::title3, QFont::Bold);
    auto* description = new kit::StyledLabel(tr("已启用的手势没有重复或范围重叠。"), kit::TextStyle::callout,
                                             kit::KitColour::secondary);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignHCenter);
    auto* layout = new QVBoxLayout(empty);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    layout->addWidget(symbol, 0, Qt::AlignHCenter);
    layout->addWidget(heading, 0, Qt::AlignHCenter);
    layout->addWidget(description);
    layout->addStretch(1);
    return empty;
}

QScrollArea* GestureConflictInspector::makeCardList() {
    list_ = new QScrollArea;
    list_->setObjectName(QStringLiteral("conflictList"));
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setFrameShape(QFrame::NoFrame);
    list_->setWidgetResizable(true);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget;
    cards_ = new QVBoxLayout(content);
    cards_->setContentsMargins(0, 4, 0, 4);
    cards_->setSpacing(16);
    cards_->addStretch(1);
    list_->setWidget(content);
    buildMoreCards();
    QScrollBar* bar = list_->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &GestureConflictInspector::buildCardsWhileNeeded);
    connect(bar, &QScrollBar::rangeChanged, this, &GestureConflictInspector::buildCardsWhileNeeded);
    return list_;
}

void GestureConflictInspector::buildMoreCards() {
    int built = 0;
    while (nextConflict_ < conflicts_.size() && built < cardsPerBatch) {
        const GestureRuleConflict& conflict = conflicts_[nextConflict_++];
        const GestureRule* first = findRule(rules_, conflict.firstID);
        const GestureRule* second = findRule(rules_, conflict.secondID);
        if (!first || !second) continue;
        // Before the trailing stretch.
        cards_->insertWidget(cards_->count() - 1,
                             new GestureConflictCard(context_, conflict, *first, *second, std::nullopt));
        ++built;
    }
}

// More cards once the end of the built ones comes within a screenful.
void GestureConflictInspector::buildCardsWhileNeeded() {
    if (nextConflict_ >= conflicts_.size()) return;
    const QScrollBar* bar = list_->verticalScrollBar();
    if (bar->maximum() - bar->value() <= list_->viewport()->height()) buildMoreCards();
}

void GestureConflictInspector::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (reviewing_) return;
    reviewing_ = true;
    controller_.setReviewingConflicts(true);
}

void GestureConflictInspector::endReview() {
    if (!reviewing_) return;
    reviewing_ = false;
    controller_.setReviewingConflicts(false);
}

}  // namespace glidra
