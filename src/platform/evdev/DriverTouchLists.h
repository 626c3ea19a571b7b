#pragma once

#include "platform/MultitouchFramework.h"
#include "platform/evdev/Frame.h"

#include <array>
#include <span>
#include <vector>

namespace glidra::evdev {

// What a touchpad source hands the multitouch driver's callbacks for one
// assembled frame: touch lists to deliver in order, all at the frame's time.
// The live source and the replay tool both deliver through here, so that a
// recording behaves as the pad would.
//
// Normally that is one list, the frame's contacts (a hovering contact is
// reported as approaching, not touching). After lost events
// (Frame::interrupted) a list holding one contact without a position comes
// first: it cancels whatever every recognizer and tracker of the device had
// in progress, so that the empty frame after it (the contacts are withheld)
// is not judged as the lift that completes a gesture.
//
// A source that delivers frame after frame keeps a DriverTouchLists and
// fills it for each: its storage is reused, so once it has grown to the
// most contacts a frame has had, a frame allocates nothing.
class DriverTouchLists {
public:
    DriverTouchLists();
    DriverTouchLists(const DriverTouchLists&) = delete;
    DriverTouchLists& operator=(const DriverTouchLists&) = delete;

    // The lists for `frame`, valid until the next fill.
    std::span<const std::span<const DriverTouch>> fill(const Frame& frame);

private:
    std::array<DriverTouch, 1> cancel_;
    std::vector<DriverTouch> touches_;
    std::array<std::span<const DriverTouch>, 2> lists_;
};

// The same as a value, for a caller that keeps them.
std::vector<std::vector<DriverTouch>> driverTouchLists(const Frame& frame);

}  // namespace glidra::evdev
