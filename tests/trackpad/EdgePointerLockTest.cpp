#include "platform/sim/ManualClock.h"
#include "platform/sim/SimPointerControl.h"
#include "trackpad/EdgePointerLock.h"

#include <gtest/gtest.h>

namespace glidra {
namespace {

constexpr DeviceId kPad = 0x10;

// The lock is on only while the pad is really held: a pad that refuses the
// hold, or takes it and lets go at once, leaves the lock off and nothing
// half taken behind.
TEST(EdgePointerLockTest, TheLockIsOnOnlyWhileThePadIsHeld) {
    enum class Pad { holds, refuses, letsGo };
    struct Case {
        Pad pad;
        bool on;
        int releases;
    };
    for (const Case c : {Case{Pad::holds, true, 0}, Case{Pad::refuses, false, 0}, Case{Pad::letsGo, false, 1}}) {
        SCOPED_TRACE(int(c.pad));
        sim::ManualClock clock(1.0);
        sim::SimPointerControl pointer;
        pointer.setHoldFails(c.pad == Pad::refuses);
        pointer.setHoldNotKept(c.pad == Pad::letsGo);
        {
            EdgePointerLock lock(pointer, clock);
            lock.engage(kPad);
            EXPECT_EQ(lock.isOn(), c.on);
            EXPECT_EQ(lock.device().has_value(), c.on);
            EXPECT_EQ(lock.position().has_value(), c.on);
            EXPECT_EQ(pointer.releaseCalls(), c.releases);

            // Motion within the hold window stays only under a lock that is on.
            pointer.moveTo({10, 10});
            clock.set(1.1);
            lock.handleMotion();
            EXPECT_EQ(pointer.warps().size(), c.on ? 1u : 0u);
        }
        EXPECT_EQ(pointer.heldCount(), 0) << "the lock lets the pad go as it ends";
    }
}

}  // namespace
}  // namespace glidra
