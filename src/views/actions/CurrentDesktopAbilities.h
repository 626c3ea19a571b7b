#pragma once

#include "actions/GestureAction.h"

namespace glidra {

struct ViewContext;

// What the running desktop offers the actions that depend on it, as the
// context's ports find it now.
DesktopAbilities currentDesktopAbilities(const ViewContext& context);

}  // namespace glidra
