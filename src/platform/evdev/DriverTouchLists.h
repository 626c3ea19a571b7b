#pragma once

#include "platform/MultitouchFramework.h"
#include "platform/evdev/Frame.h"

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
std::vector<std::vector<DriverTouch>> driverTouchLists(const Frame& frame);

}  // namespace glidra::evdev
