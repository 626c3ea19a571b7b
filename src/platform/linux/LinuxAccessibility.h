#pragma once

#include "platform/Accessibility.h"

namespace glidra::linux_platform {

// The desktop offers no element tree of the kind these executors search: no
// top-bar items of system processes, no application menus with a force-quit
// item, no force-quit window. Every element answers nothing, so those
// searches end with their own failure notices.
class LinuxAccessibility final : public Accessibility {
public:
    AccessibilityElementRef applicationElement(std::int32_t processIdentifier) override;
};

}  // namespace glidra::linux_platform
