#pragma once

#include "platform/AccessibilityKeyboardSettings.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimWorkspace.h"

namespace glidra::sim {

// Opens the keyboard page in a simulated settings application: it starts the
// application in the workspace when it is not running (without bringing it to
// the front) and answers with its element of the simulated tree, which the
// test fills. Opening can be refused.
class SimAccessibilityKeyboardSettings final : public AccessibilityKeyboardSettings {
public:
    SimAccessibilityKeyboardSettings(SimWorkspace& workspace, SimAccessibility& accessibility,
                                     RunningApplication settingsApplication)
        : workspace_(workspace), accessibility_(accessibility), settings_(std::move(settingsApplication)) {}

    QCoro::Task<std::optional<Opened>> openInBackground() override;

    void setRefusesToOpen(bool refuses) { refuses_ = refuses; }
    int openings() const { return openings_; }
    const RunningApplication& settingsApplication() const { return settings_; }

private:
    SimWorkspace& workspace_;
    SimAccessibility& accessibility_;
    RunningApplication settings_;
    bool refuses_ = false;
    int openings_ = 0;
};

}  // namespace glidra::sim
