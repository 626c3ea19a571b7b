#pragma once

#include "gestures/GestureRule.h"
#include "views/rules/GestureConflictInspector.h"
#include "views/rules/GestureRegionFields.h"
#include "views/rules/GestureRuleEditor.h"
#include "views/rules/GestureRuleRow.h"

#include <QMessageBox>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>
#include <optional>

class QPushButton;
class QVBoxLayout;

namespace glidra {

namespace kit {
class StyledLabel;
}

struct ViewContext;
class ControlSettings;
class GestureRuleList;
class TrackpadController;

// The gestures page: every rule in stored order, each with its switch, region
// button, edit and delete (rows made as they come into sight); the add
// button, a banner when enabled rules collide, and the sheets for editing,
// deleting and reviewing conflicts. Rows change a rule by its id and store
// the list in one update; every change of the list resets the controller's
// gesture state.
class FreeformRulesView : public QWidget {
    Q_OBJECT
public:
    explicit FreeformRulesView(ViewContext& context, QWidget* parent = nullptr);

    // Replaces the rule with the same id in place, or appends it.
    void saveRule(const GestureRule& rule);
    // Deletes the rule awaiting confirmation, if any.
    void deleteRule();

    // Opens the editor on a copy of `rule`.
    void editRule(const GestureRule& rule);
    void addRule();
    void confirmDelete(const QUuid& id);
    void showConflicts();

    GestureRuleEditor* editor() const { return editor_; }
    GestureConflictInspector* inspector() const { return inspector_; }
    QMessageBox* deleteConfirmation() const { return deleteConfirmation_; }
    std::optional<QUuid> ruleToDelete() const { return ruleToDelete_; }
    GestureRuleList* list() const { return list_; }

private:
    GestureRuleRow* buildRow(const GestureRule& rule, GestureRuleRow::Badge badge);
    QWidget* buildHeader();
    QWidget* buildEmptyState();
    void sync();
    // Changes the rule with `id`, when it is still listed, and stores the list.
    void updateRule(const QUuid& id, const std::function<void(GestureRule&)>& change);

    ViewContext& context_;
    ControlSettings& settings_;
    TrackpadController& controller_;
    kit::StyledLabel* count_ = nullptr;
    QVBoxLayout* bannerSlot_ = nullptr;
    QPointer<QWidget> banner_;
    QWidget* emptyState_ = nullptr;
    GestureRuleList* list_ = nullptr;
    QPointer<GestureRuleEditor> editor_;
    QPointer<GestureConflictInspector> inspector_;
    QPointer<QMessageBox> deleteConfirmation_;
    std::optional<QUuid> ruleToDelete_;
};

}  // namespace glidra
