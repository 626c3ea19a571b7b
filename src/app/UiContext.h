#pragma once

#include "views/ViewContext.h"

namespace glidra {

class UpdateController;

// What the shell works with: the views' context, which it hands down to every
// view, and the shell's own objects beside it.
struct UiContext : ViewContext {
    UpdateController& updates;
};

}  // namespace glidra
