#include "platform/linux/QtScreens.h"

#include <QGuiApplication>
#include <QScreen>

namespace glidra::linux_platform {

QRectF QtScreens::devicePixels(const QRectF& logical, const QPointF& screenTopLeft, double devicePixelRatio) {
    return QRectF(screenTopLeft + (logical.topLeft() - screenTopLeft) * devicePixelRatio,
                  logical.size() * devicePixelRatio);
}

std::vector<ScreenInfo> QtScreens::screens() const {
    std::vector<ScreenInfo> result;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return result;
    QList<QScreen*> screens = QGuiApplication::screens();
    // The primary display leads, as the window coordinates start on it.
    if (QScreen* primary = QGuiApplication::primaryScreen(); primary && screens.removeOne(primary)) {
        screens.prepend(primary);
    }
    for (QScreen* screen : screens) {
        const QPointF origin = screen->geometry().topLeft();
        const double ratio = screen->devicePixelRatio();
        result.push_back({screen->name(), devicePixels(screen->geometry(), origin, ratio),
                          devicePixels(screen->availableGeometry(), origin, ratio)});
    }
    return result;
}

}  // namespace glidra::linux_platform
