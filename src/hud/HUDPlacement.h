#pragma once

#include "hud/HUDScreens.h"
#include "notices/HUDPosition.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace glidra {

// Where the HUD goes for a position: HUDPosition's origin works with y
// growing upwards from a frame's bottom, so the screen's usable area (and
// the anchor) are flipped within that screen, and the result flipped back to
// the panel's top-left corner in Qt's coordinates.
QPoint hudTopLeft(HUDPosition position, const HUDScreen& screen, const QSize& size,
                  const std::optional<QRect>& anchor = std::nullopt);

// The first screen, in the desktop's order, that holds the pointer; else the
// primary screen, which may be absent too.
std::optional<HUDScreen> screenUnderPointer(const HUDScreens& screens);

// The screen that shows the menu-bar (tray) icon: the first that holds the
// icon's centre. None for an empty rectangle or one on no screen.
std::optional<HUDScreen> screenShowing(const QRect& icon, const HUDScreens& screens);

}  // namespace glidra
