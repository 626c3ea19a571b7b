#pragma once

#include "platform/Accessibility.h"
#include "platform/Workspace.h"

#include <QCoro/QCoroTask>

#include <optional>

namespace glidra {

// The settings page on which the user switches the on-screen keyboard on. Its
// switch is an element with the identifier "AX_VIRTUAL_KEYBOARD" and the role
// "AXCheckBox" somewhere in the windows of the application showing the page;
// its value is non-zero while the keyboard is on.
class AccessibilityKeyboardSettings {
public:
    struct Opened {
        RunningApplication application;   // the settings application showing the page
        AccessibilityElementRef element;  // that application's top element
    };

    virtual ~AccessibilityKeyboardSettings() = default;

    // Opens the page without bringing it to the front; nothing when it could
    // not be opened.
    virtual QCoro::Task<std::optional<Opened>> openInBackground() = 0;
};

}  // namespace glidra
