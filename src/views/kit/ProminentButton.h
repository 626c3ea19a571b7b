#pragma once

#include <QColor>

class QPushButton;

namespace glidra::kit {

// The filled look of the one button that finishes a sheet, in the accent
// colour of the palette: the highlight, shifted where the style would paint
// its text on it with less than the text contrast. It follows theme and
// style changes.
void makeProminent(QPushButton* button);

// The ring drawn around a prominent button while it has the focus: the
// accent, legible on the button's face and on what lies around it.
QColor focusRingColour(const QPushButton* button);

// The least contrast `text` has on the face the button's style paints in
// `fill`, at rest, hovered and pressed.
double faceContrast(const QPushButton* button, const QColor& fill, const QColor& text);

}  // namespace glidra::kit
