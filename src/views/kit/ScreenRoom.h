#pragma once

#include <QSize>

class QScreen;
class QWidget;

namespace glidra::kit {

// What the desktop's frame and title bar add around a window, in logical
// pixels: the window itself must leave that much of the screen free.
inline constexpr QSize windowFrameAllowance{16, 48};

// The screen a window is on, or opens on: its own once it has one, else its
// parent's, else the primary screen.
QScreen* screenOf(const QWidget* window);

// The room a window has on its screen: the screen's free area in logical
// pixels less the frame allowance; empty when there is no screen.
QSize windowRoom(const QWidget* window);

// `wanted` made to fit `room`, never below `minimum`; `wanted` as it is when
// the room is unknown.
QSize fittedSize(QSize wanted, QSize minimum, QSize room);

// Lets `window` be made as small as `minimum` and opens it at `wanted`, both
// no larger than the room on the screen it opens on, at its first showing and
// again on each screen it moves to. What needs more room than the window then
// has scrolls (see scrollingBody).
void fitToScreen(QWidget* window, QSize wanted, QSize minimum);

// For a window of fixed size: `size` with each side no larger than the room.
void fixToScreen(QWidget* window, QSize size);

// For a sheet of fixed width whose height follows its content: `width` no
// wider than the room, and at its first showing the height its content takes
// (fitHeightToContent).
void fitSheetToScreen(QWidget* window, int width);

// Resizes a window whose height follows its content to that height at its
// width, no taller than the room on its screen.
void fitHeightToContent(QWidget* window);

}  // namespace glidra::kit
