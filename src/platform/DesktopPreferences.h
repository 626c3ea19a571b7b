#pragma once

#include "platform/UserDefaults.h"

#include <optional>

namespace glidra {

// The desktop's own switch for the icons on the desktop.
class DesktopPreferences {
public:
    virtual ~DesktopPreferences() = default;

    // Whether the running desktop has such a switch that the program may
    // turn; without one, nothing here takes effect.
    virtual bool hasDesktopIconsSwitch() const = 0;

    // The stored value of the switch as the desktop keeps it (a Boolean,
    // unless something stored another kind); nothing when absent.
    virtual std::optional<DefaultsValue> showDesktopIcons() const = 0;
    // Stages a value; nothing removes the stored one. It takes effect with
    // synchronize().
    virtual void setShowDesktopIcons(const std::optional<DefaultsValue>& value) = 0;
    // Makes the staged value durable; false when it could not be written.
    virtual bool synchronize() = 0;
    // Makes the desktop show the stored value; false when no desktop is
    // there to do it.
    virtual bool reloadDesktop() = 0;
};

}  // namespace glidra
