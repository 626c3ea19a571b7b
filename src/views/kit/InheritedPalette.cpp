#include "views/kit/InheritedPalette.h"

#include <QApplication>
#include <QWidget>

namespace glidra::kit {

QPalette inheritedPalette(const QWidget* widget) {
    if (const QWidget* parent = widget->parentWidget(); parent && !widget->isWindow()) return parent->palette();
    return QApplication::palette(widget);
}

}  // namespace glidra::kit
