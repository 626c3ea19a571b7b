#include "views/kit/InheritedPalette.h"

#include <QApplication>
#include <QWidget>

namespace glidra::kit {

QPalette inheritedPalette(const QWidget* widget) {
    const QPalette application = QApplication::palette(widget);
    // Only what the parents set themselves: during a theme change a child
    // may hear of it before its parent, whose other colours are the old ones.
    if (const QWidget* parent = widget->parentWidget(); parent && !widget->isWindow()) {
        return parent->palette().resolve(application);
    }
    return application;
}

QPalette currentPalette(const QWidget* widget) { return widget->palette().resolve(QApplication::palette(widget)); }

}  // namespace glidra::kit
