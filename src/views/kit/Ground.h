#pragma once

#include "views/kit/KitColour.h"

#include <QColor>
#include <QPalette>

class QWidget;

namespace glidra::kit {

// The opaque colour a widget's own painting lies on: its window's
// background, under the fills of the kit's boxes and of every widget between
// that fills its background, the widget itself included.
QColor groundOf(const QWidget* widget);

// The named colour for `palette`, legible as its row asks also on the ground
// of `widget`, where it is drawn.
QColor colourOn(KitColour named, const QWidget* widget, const QPalette& palette,
                QPalette::ColorGroup group = QPalette::Active);
// The same in the widget's own palette.
QColor colourOn(KitColour named, const QWidget* widget, QPalette::ColorGroup group = QPalette::Active);

// Keeps the placeholder text of a line or text field legible on the field's
// own background (or what shows through it) in every theme.
void keepPlaceholderLegible(QWidget* field);

}  // namespace glidra::kit
