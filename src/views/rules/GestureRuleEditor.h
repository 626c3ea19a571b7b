#pragma once

#include "gestures/GestureRule.h"
#include "gestures/GestureRuleConflict.h"
#include "views/rules/GestureActionStepView.h"
#include "views/rules/GestureCaptureStepView.h"
#include "views/rules/GestureConflictNotice.h"
#include "views/rules/GestureRuleOptionsView.h"
#include "views/rules/RuleModifierKeys.h"
#include "views/rules/SystemGestureAdviceView.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QPushButton;
class QVBoxLayout;

namespace glidra {

namespace kit {
class StyledLabel;
}

struct ViewContext;
class ControlSettings;
class TrackpadController;

// The sheet in which one rule is created or edited, in two steps: capture
// the gesture (performed on the touchpad or picked by hand), then choose the
// action and the options. It never writes the settings: a valid rule goes to
// `onSave` once, then the sheet closes. While it is open the controller is
// in its setup state; every way of closing it (save, cancel, Escape,
// deletion, quitting) ends learning, lowers the flags and switches control
// off again when the sheet switched it on to record. Open it with open(); it
// deletes itself when closed.
class GestureRuleEditor : public QDialog {
    Q_OBJECT
public:
    using SaveHandler = std::function<void(GestureRule)>;

    // Each step opens at its default size, as large as the screen allows; the
    // user may resize it down to its minimum, or to what the screen has room
    // for on a smaller one, where the sheet scrolls above its buttons.
    static constexpr QSize captureSize{560, 500};
    static constexpr QSize actionSize{800, 680};
    static constexpr QSize captureMinimumSize{480, 400};
    static constexpr QSize actionMinimumSize{720, 480};

    GestureRuleEditor(ViewContext& context, GestureRule rule, SaveHandler onSave, QWidget* parent = nullptr);
    ~GestureRuleEditor() override;

    int step() const { return step_; }
    bool hasGesture() const { return hasGesture_; }
    const GestureRule& rule() const { return rule_; }
    RuleModifierKeys modifierKeys() const { return keys_; }
    QString errorMessage() const { return errorMessage_; }

    // The rule as it would be saved: the modifier keys folded in and the
    // finger count brought into the kind's allowed counts.
    GestureRule preparedRule() const;
    // The conflicts the editor shows: those of the prepared rule with the
    // stored rules, an application rule's precedence left out.
    std::vector<GestureRuleConflict> conflicts() const;

    // Why `rule` cannot be saved yet; nothing when it can.
    static std::optional<QString> validationMessage(const GestureRule& rule, bool hasGesture);

    // The record button: starts learning, or stops it when it runs.
    void startCapture();
    void primaryAction();
    void changeGesture();
    // Opens the application chooser; the rule is limited to the chosen
    // application once it closes.
    void chooseApplication();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void applicationChosen(const QString& path);
    QWidget* buildHeader();
    QWidget* buildToolbar();
    void showStep();
    QWidget* buildCaptureStep();
    QWidget* buildActionStep();
    void advanceToActionStep();
    void onCapturedGesture();
    void setGesture(const GestureDescriptor& gesture);
    void editGesture(const GestureDescriptor& gesture);
    void stopCapture();
    void limitToApplication(const QString& path);
    void refresh();

    ViewContext& context_;
    ControlSettings& settings_;
    TrackpadController& controller_;
    GestureRule rule_;
    SaveHandler onSave_;
    const bool isEditing_;
    int step_;
    bool hasGesture_;
    RuleModifierKeys keys_;
    QString errorMessage_;
    bool wasEnabled_ = false;
    bool appeared_ = false;

    kit::StyledLabel* title_ = nullptr;
    QPushButton* changeGesture_ = nullptr;
    QVBoxLayout* content_ = nullptr;
    QPointer<QWidget> stepView_;
    QPointer<GestureCaptureStepView> capture_;
    QPointer<GestureActionStepView> actionStep_;
    QPointer<GestureRuleOptionsView> options_;
    QPointer<GestureConflictNotice> notice_;
    QPointer<SystemGestureAdviceView> advice_;
    QPointer<QWidget> adviceSlot_;
    kit::StyledLabel* message_ = nullptr;
    QPushButton* cancel_ = nullptr;
    QPushButton* primary_ = nullptr;
};

}  // namespace glidra
