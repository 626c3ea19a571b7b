#pragma once

#include "gestures/GestureRule.h"
#include "gestures/GestureRuleConflict.h"
#include "views/kit/RoundedBox.h"

#include <QUuid>

#include <vector>

class QVBoxLayout;

namespace glidra {

namespace kit {
class PlainButton;
class SymbolLabel;
}  // namespace kit

struct ViewContext;

// The rule editor's warning that the edited rule conflicts with stored rules:
// one line naming the most important conflict, and on request a card per
// conflict. A new conflict list collapses it again.
class GestureConflictNotice : public kit::RoundedBox {
    Q_OBJECT
public:
    // `rules` is the list the conflicts were computed against, with the
    // edited rule in it.
    GestureConflictNotice(ViewContext& context, std::vector<GestureRuleConflict> conflicts,
                          std::vector<GestureRule> rules, QUuid draftID, QWidget* parent = nullptr);

    // After an edit of the rule; collapses when the conflicts differ.
    void setConflicts(std::vector<GestureRuleConflict> conflicts, std::vector<GestureRule> rules, QUuid draftID);

    bool showsDetails() const { return showsDetails_; }
    void setShowsDetails(bool shows);

    static bool hasDuplicate(const std::vector<GestureRuleConflict>& conflicts);
    static QString summary(const std::vector<GestureRuleConflict>& conflicts, const std::vector<GestureRule>& rules,
                           QUuid draftID);

private:
    void sync();
    void rebuildCards();

    ViewContext& context_;
    std::vector<GestureRuleConflict> conflicts_;
    std::vector<GestureRule> rules_;
    QUuid draftID_;
    bool showsDetails_ = false;
    kit::SymbolLabel* headline_;
    kit::PlainButton* toggle_;
    QWidget* details_;
    QVBoxLayout* detailsLayout_;
};

}  // namespace glidra
