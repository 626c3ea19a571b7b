#include "hud/DesktopHUDScreens.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace glidra {

namespace {
HUDScreen describe(const QScreen& screen) { return {screen.geometry(), screen.availableGeometry()}; }
}  // namespace

std::vector<HUDScreen> DesktopHUDScreens::screens() const {
    std::vector<HUDScreen> all;
    for (const QScreen* screen : QGuiApplication::screens()) all.push_back(describe(*screen));
    return all;
}

std::optional<HUDScreen> DesktopHUDScreens::primaryScreen() const {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) return describe(*screen);
    return std::nullopt;
}

QPoint DesktopHUDScreens::pointer() const { return QCursor::pos(); }

}  // namespace glidra
