#pragma once

#include <functional>

namespace glidra {

class TrackpadController;
class UpdateController;

// The process's shared objects that start-up touches. Each getter builds its
// object on first use and returns the same one after: the composition root
// fills them.
struct SharedObjects {
    std::function<UpdateController&()> updateController;
    // Starts recording which application is in front, so that the history is
    // complete from launch.
    std::function<void()> applicationHistory;
    std::function<TrackpadController&()> trackpadController;
};

// Starts the shared services in their fixed order before any view exists:
// the updater, the application history, the trackpad controller, and control
// switched back on when it was on at the last switch. Running it again
// creates and toggles nothing more.
void startUp(const SharedObjects& objects);

}  // namespace glidra
