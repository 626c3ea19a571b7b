#pragma once

#include <QPalette>

class QWidget;

namespace glidra::kit {

// The palette a widget would have without its own settings: its parent's, or
// the application's for a window.
QPalette inheritedPalette(const QWidget* widget);

}  // namespace glidra::kit
