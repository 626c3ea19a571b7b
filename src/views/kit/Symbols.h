#pragma once

#include "views/kit/KitColour.h"

#include <QColor>
#include <QIcon>
#include <QString>
#include <QStringView>

#include <span>

class QPainter;
class QRectF;

namespace glidra::kit {

// The symbols the program draws, by the names the notices, the catalogue and
// the views use, each bundled as a monochrome SVG and tinted when painted.
struct SymbolRow {
    const char* name;  // as a notice or an action names it
    const char* file;  // in the bundled icon set
};

std::span<const SymbolRow> symbolRows();

// The resource path of a symbol's icon, or an empty string for an unknown name.
QString symbolResource(QStringView name);

// Draws a symbol into `box`, centred and as large as fits, in `colour`. An
// unknown name draws a placeholder, so a missing icon shows and never hides
// the text beside it.
void paintSymbol(QPainter& painter, const QRectF& box, QStringView name, const QColor& colour);

// An icon for buttons and labels that tints the symbol from the application
// palette each time it is painted (follows theme changes); disabled icons take
// the disabled text colour.
QIcon symbolIcon(const QString& name, KitColour colour = KitColour::primary);

}  // namespace glidra::kit
