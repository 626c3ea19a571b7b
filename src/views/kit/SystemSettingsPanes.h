#pragma once

#include <QString>

namespace glidra::kit {

// The panes of the system's settings that a view would offer a button for.
enum class SystemSettingsPane { accessibility, automation, loginItems, bluetooth };

// Whether the desktop has the pane at an address the program can open. Linux
// desktops have none of them: a button whose only job is to open one is not
// shown, and the text beside it says what to do instead. Every view asks
// here, so the choice is made once.
constexpr bool canOpenSystemSettingsPane(SystemSettingsPane) { return false; }

// What gives the program the access it needs to the touchpads, keyboards
// and the virtual input device: the udev rule that scripts/run installs,
// taking effect at the next login. Where the original asks for the
// Accessibility permission, this says what to do instead.
QString inputAccessInstruction();

}  // namespace glidra::kit
