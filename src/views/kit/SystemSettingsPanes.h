#pragma once

#include "platform/InputGrant.h"

#include <QString>

namespace glidra::kit {

// The panes of the system's settings that a view would offer a button for.
enum class SystemSettingsPane { accessibility, automation, loginItems, bluetooth };

// Whether the desktop has the pane at an address the program can open. Linux
// desktops have none of them: a button whose only job is to open one is not
// shown, and the text beside it says what to do instead. Every view asks
// here, so the choice is made once.
constexpr bool canOpenSystemSettingsPane(SystemSettingsPane) { return false; }

// Where the program's input access is granted: the general page lists the
// grants and the command that installs each. Where a view would send the user
// to grant a permission in a settings pane, this says what to do instead.
QString inputAccessInstruction();

// What the list of grants is for (kit::InputGrantList), after the state of
// the input service: installed and answering, it gives the touchpads and the
// virtual device; otherwise the one command that sets it right. Each grant is
// one udev rule, installed on its own by the command beside it, the fallback
// for installs without the service.
QString inputGrantsInstruction(InputService service);
// Its two parts: the service's state, and what the rules are for.
QString inputServiceStatus(InputService service);
QString inputRulesInstruction(InputService service);

}  // namespace glidra::kit
