#pragma once

#include "gestures/GestureDescriptor.h"

#include <QWidget>

class QComboBox;
class QPushButton;

namespace glidra {

namespace kit {
class CaptionLine;
class GroupBox;
class StyledLabel;
class SymbolView;
}  // namespace kit

struct ViewContext;
class ForcePressSettingsView;
enum class SystemGestureDesktop;

// Step 0 of the rule editor: records the gesture by performing it, or picks
// it by hand. It keeps no recording logic: the editor says whether the
// controller is listening and hears the record button. The pickers report
// only the user's edits; filling them from the editor is silent.
class GestureCaptureStepView : public QWidget {
    Q_OBJECT
public:
    explicit GestureCaptureStepView(ViewContext& context, QWidget* parent = nullptr);

    // From the editor; no signal.
    void setState(const GestureDescriptor& gesture, bool hasGesture, bool isListening);

    const GestureDescriptor& gesture() const { return gesture_; }

Q_SIGNALS:
    // The whole gesture after the user changed one of its fields.
    void gestureEdited(const glidra::GestureDescriptor& gesture);
    void recordClicked();

private:
    QWidget* buildRecordPanel();
    QWidget* buildManualPicker(SystemGestureDesktop desktop);
    QWidget* pickerRow(const QString& title, QComboBox* picker);
    void sync();

    GestureDescriptor gesture_;
    bool hasGesture_ = false;
    bool isListening_ = false;

    kit::SymbolView* symbol_ = nullptr;
    kit::StyledLabel* title_ = nullptr;
    kit::StyledLabel* detail_ = nullptr;
    QPushButton* record_ = nullptr;
    ForcePressSettingsView* forcePress_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* fingers_ = nullptr;
    QComboBox* direction_ = nullptr;
    QComboBox* tapCount_ = nullptr;
    QWidget* directionRow_ = nullptr;
    QWidget* tapCountRow_ = nullptr;
    kit::CaptionLine* clickNote_ = nullptr;
    kit::CaptionLine* pinchNote_ = nullptr;
};

}  // namespace glidra
