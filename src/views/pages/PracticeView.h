#pragma once

#include "gestures/NormalizedRegionRect.h"

#include <QUuid>
#include <QWidget>

#include <optional>

class QComboBox;

namespace glidra {

class ControlSettings;
class PracticeTrackpadView;
class TrackpadController;
struct ViewContext;

namespace kit {
class StyledLabel;
class SwitchRow;
class SymbolLabel;
}  // namespace kit

// The practice page: a switch for the controller's practice mode, the live
// drawing of the fingers with the trigger region of one chosen rule, the
// last recognised gesture with what it would have done, and the force-press
// test. The only state it owns is the chosen rule.
class PracticeView final : public QWidget {
    Q_OBJECT
public:
    explicit PracticeView(ViewContext& context, std::optional<QUuid> selectedRule = std::nullopt,
                          QWidget* parent = nullptr);

    std::optional<QUuid> selectedRuleID() const { return selectedRuleID_; }
    void setSelectedRuleID(std::optional<QUuid> id);

    // The region drawn for the chosen rule: none without a choice, for a
    // rule no longer there, or for custom rectangles with no common part.
    static std::optional<NormalizedRegionRect> selectedRegion(const ControlSettings& settings,
                                                              std::optional<QUuid> ruleID);

    PracticeTrackpadView* trackpad() const { return trackpad_; }

private:
    void syncPracticeMode();
    void syncRules();
    void syncRegion();
    void syncActivity();
    void syncResults();
    void syncEnabled();

    ControlSettings& settings_;
    TrackpadController& controller_;
    std::optional<QUuid> selectedRuleID_;

    kit::SwitchRow* practiceMode_;
    QWidget* practiceTools_;
    QComboBox* rulePicker_;
    PracticeTrackpadView* trackpad_;
    kit::StyledLabel* lastRecognized_;
    kit::StyledLabel* status_;
    kit::StyledLabel* hint_;
    kit::SymbolLabel* controlOff_;
};

}  // namespace glidra
