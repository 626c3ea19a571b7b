#pragma once

#include "gestures/GestureRule.h"
#include "gestures/GestureRuleConflict.h"

#include <QDialog>

#include <vector>

class QScrollArea;
class QVBoxLayout;

namespace glidra {

struct ViewContext;
class TrackpadController;

// The sheet listing every conflict among the enabled rules as a card. While
// it is on screen the controller's conflict review suspends gesture control.
// Open it with open(); it deletes itself when closed.
class GestureConflictInspector : public QDialog {
    Q_OBJECT
public:
    static constexpr int cardsPerBatch = 10;

    // `rules` as stored and `edgeWidth` as set, both copied now.
    GestureConflictInspector(ViewContext& context, std::vector<GestureRule> rules, float edgeWidth,
                             QWidget* parent = nullptr);
    ~GestureConflictInspector() override;

    const std::vector<GestureRuleConflict>& conflicts() const { return conflicts_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* makeEmptyState();
    QScrollArea* makeCardList();
    // Cards are built as the list scrolls towards them.
    void buildMoreCards();
    void buildCardsWhileNeeded();
    void endReview();

    ViewContext& context_;
    TrackpadController& controller_;
    std::vector<GestureRule> rules_;
    std::vector<GestureRuleConflict> conflicts_;
    QScrollArea* list_ = nullptr;
    QVBoxLayout* cards_ = nullptr;
    size_t nextConflict_ = 0;
    bool reviewing_ = false;
};

}  // namespace glidra
