#pragma once

#include "actions/GestureAction.h"
#include "platform/Screens.h"

#include <QRectF>

#include <optional>
#include <vector>

namespace glidra {

// Where the layout actions put a window. Pure geometry in window coordinates
// (y growing downwards).
namespace WindowLayoutGeometry {

// The index of the screen a window frame belongs to: the one it overlaps
// most, the earlier one on a tie, the first when it overlaps none. Nothing for
// an empty list.
std::optional<std::size_t> screenIndex(const QRectF& window, const std::vector<ScreenInfo>& screens);

// The target of windowLeftHalf, windowRightHalf, maximizeWindow or
// centerWindow for a window `window` on a screen with the visible frame
// `visible`; nothing for any other action.
std::optional<QRectF> target(GestureAction action, const QRectF& window, const QRectF& visible);

// The frame on the next screen's visible frame `next` that keeps the window's
// relative place inside its current visible frame `visible`, shrunk only
// when the next screen is smaller.
QRectF nextDisplayTarget(const QRectF& window, const QRectF& visible, const QRectF& next);

}  // namespace WindowLayoutGeometry

}  // namespace glidra
