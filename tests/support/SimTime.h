#pragma once

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimScheduler.h"

#include <QCoreApplication>

namespace glidra::test {

// The manual clock with its scheduler, for tests that wait without sleeping.
struct SimTime {
    sim::ManualClock clock;
    sim::SimScheduler scheduler{clock};

    // Runs the work queued on the main thread (cancelled sleeps, frame
    // hand-offs) until none is left.
    static void drain() {
        for (int round = 0; round < 16; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
    }

    void advanceTo(double t) {
        scheduler.advanceTo(t);
        drain();
    }
    void advanceBy(double dt) { advanceTo(clock.uptime() + dt); }
};

}  // namespace glidra::test
