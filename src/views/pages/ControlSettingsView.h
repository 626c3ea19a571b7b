#pragma once

#include "gestures/GestureRecognitionLevel.h"
#include "notices/HUDPosition.h"
#include "settings/LoginItemController.h"
#include "views/pages/EnumPicker.h"

#include <QPointer>
#include <QWidget>

class QPushButton;
class QSlider;
class QVBoxLayout;

namespace glidra {

class BrowserVideoHelpView;
class ControlSettings;
class TrackpadController;
struct ViewContext;

namespace kit {
class CaptionLine;
class InputGrantList;
class StyledLabel;
class SwitchRow;
class SymbolLabel;
}  // namespace kit

// The settings window's general page: the trackpad connection, recognition
// options, the typing guard, operation hints, launch at login and the input
// permission, with the export and import section, the disabled
// applications, the browser-video guide (while some gesture scrubs video)
// and the update settings. Controls edit the shared settings at once; the
// page brings the controller up to date when a setting it depends on
// changes, never on first display.
class ControlSettingsView final : public QWidget {
    Q_OBJECT
public:
    // The slider works on tenths, so stored values are the grid's decimals.
    static constexpr int sensitivityMinimum = 5;
    static constexpr int sensitivityMaximum = 30;

    explicit ControlSettingsView(ViewContext& context, QWidget* parent = nullptr);

    bool permissionGranted() const { return permissionGranted_; }
    LoginItemController& loginItem() { return loginItem_; }

    // Whether some edge binding or gesture rule, enabled or not, scrubs video.
    static bool usesVideoScrubbing(const ControlSettings& settings);

protected:
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildTrackpadGroup();
    QWidget* buildHintsGroup();
    QWidget* buildLaunchGroup();
    QWidget* buildPermissionGroup();
    void connectObservers();

    void syncConnection();
    void syncRecognitionLevel();
    void syncSensitivity();
    void syncTypingProtection();
    void syncHints();
    void syncLoginItem();
    void syncPermission();
    void syncInputService();
    void syncVideoGuide();

    // Reads the trust and each grant again.
    void recheckPermission();
    void setPermissionGranted(bool granted);
    void installGlobalTypingMonitor();

    ViewContext& context_;
    ControlSettings& settings_;
    TrackpadController& controller_;
    bool permissionGranted_;
    // Typing in other applications is seen only through the keyboards.
    bool keyboardsGranted_;
    LoginItemController loginItem_;

    QVBoxLayout* column_ = nullptr;
    kit::SymbolLabel* connection_ = nullptr;
    QPushButton* reconnect_ = nullptr;
    EnumPicker<GestureRecognitionLevel>* recognitionLevel_ = nullptr;
    QSlider* sensitivity_ = nullptr;
    kit::StyledLabel* sensitivityValue_ = nullptr;
    kit::SwitchRow* typingProtection_ = nullptr;
    kit::CaptionLine* typingPermissionWarning_ = nullptr;
    kit::SwitchRow* showOperationHints_ = nullptr;
    EnumPicker<HUDPosition>* operationHintPosition_ = nullptr;
    QWidget* operationHintPositionRow_ = nullptr;
    QPushButton* launchAtLogin_ = nullptr;
    kit::CaptionLine* loginItemMessage_ = nullptr;
    kit::SymbolLabel* permissionStatus_ = nullptr;
    kit::InputGrantList* inputGrants_ = nullptr;
    QWidget* permissionMissingHelp_ = nullptr;
    kit::CaptionLine* inputService_ = nullptr;
    kit::CaptionLine* permissionInstruction_ = nullptr;
    QPointer<BrowserVideoHelpView> videoHelp_;
    QWidget* updates_ = nullptr;
};

}  // namespace glidra
