#pragma once

#include "gestures/ForcePressLevel.h"
#include "views/pages/EnumPicker.h"

#include <QWidget>

class QProgressBar;

namespace glidra {

class ControlSettings;
class TrackpadController;

namespace kit {
class CaptionLine;
}

// How hard a force press must be, with the live progress of the current
// press towards that threshold, so the user can try a firm press while
// choosing. The practice page and the rule editor's capture step embed it.
class ForcePressSettingsView final : public QWidget {
    Q_OBJECT
public:
    // The bar's range: the controller's progress from 0 to 1 in thousandths.
    static constexpr int progressScale = 1000;

    ForcePressSettingsView(ControlSettings& settings, TrackpadController& controller, QWidget* parent = nullptr);

private:
    void syncLevel();
    void syncProgress();
    void syncForceSensing();

    ControlSettings& settings_;
    TrackpadController& controller_;
    EnumPicker<ForcePressLevel>* level_;
    QProgressBar* progress_;
    kit::CaptionLine* noForceSensing_;
};

}  // namespace glidra
