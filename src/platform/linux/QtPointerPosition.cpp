#include "platform/linux/QtPointerPosition.h"

#include <QCursor>
#include <QGuiApplication>

namespace glidra::linux_platform {

std::optional<QPoint> QtPointerPosition::position() const {
    // Without a GUI application there is no platform to ask.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return std::nullopt;
    return QCursor::pos();
}

}  // namespace glidra::linux_platform
