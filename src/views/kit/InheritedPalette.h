#pragma once

#include <QPalette>

class QWidget;

namespace glidra::kit {

// The palette a widget would have without its own settings: its parent's, or
// the application's for a window.
QPalette inheritedPalette(const QWidget* widget);

// The palette a widget has as the theme stands now: its own settings, the
// rest from the application, even while the widget has yet to hear of a
// theme change.
QPalette currentPalette(const QWidget* widget);

}  // namespace glidra::kit
