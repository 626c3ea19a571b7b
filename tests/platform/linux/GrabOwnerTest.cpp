#include "platform/linux/GrabOwner.h"
#include "platform/linux/GrabWatchdog.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace glidra::linux_platform {
namespace {

using Action = GrabOwner::Action;

// The kernel's side: which nodes are grabbed, and every call in order.
struct Kernel {
    QStringList calls;
    QStringList refusing;
    GrabOwner owner{[this](const QByteArray& devnode, Action action) {
        const QString node = QString::fromLatin1(devnode);
        const char* verb = action == Action::grab ? "grab " : action == Action::release ? "release " : "releaseNow ";
        calls.append(QLatin1String(verb) + node);
        return !(action == Action::grab && refusing.contains(node));
    }};
};

const int cleaning = 0;
const int pointerLock = 0;
const void* const kCleaning = &cleaning;
const void* const kPointerLock = &pointerLock;

TEST(GrabOwnerTest, ANodeStaysGrabbedUntilItsLastHolderLetsGo) {
    Kernel kernel;
    EXPECT_TRUE(kernel.owner.hold("/dev/input/event3", kCleaning));
    EXPECT_TRUE(kernel.owner.hold("/dev/input/event3", kPointerLock));
    EXPECT_TRUE(kernel.owner.hold("/dev/input/event3", kPointerLock));  // again: no second count
    EXPECT_EQ(kernel.owner.holderCount("/dev/input/event3"), 2);

    // The pointer lock lets go: the cleaning mode keeps its grab.
    kernel.owner.release("/dev/input/event3", kPointerLock);
    EXPECT_TRUE(kernel.owner.isGrabbed("/dev/input/event3"));
    kernel.owner.release("/dev/input/event3", kPointerLock);  // not a holder any more: nothing
    EXPECT_TRUE(kernel.owner.isGrabbed("/dev/input/event3"));

    kernel.owner.release("/dev/input/event3", kCleaning);
    EXPECT_FALSE(kernel.owner.isGrabbed("/dev/input/event3"));
    EXPECT_EQ(kernel.calls, QStringList({"grab /dev/input/event3", "release /dev/input/event3"}));
}

TEST(GrabOwnerTest, AHolderLettingGoOfEverythingLeavesOtherHoldersTheirNodes) {
    Kernel kernel;
    kernel.owner.hold("/dev/input/event3", kCleaning);
    kernel.owner.hold("/dev/input/event4", kCleaning);
    kernel.owner.hold("/dev/input/event4", kPointerLock);
    kernel.owner.releaseHolder(kCleaning);
    EXPECT_FALSE(kernel.owner.isGrabbed("/dev/input/event3"));
    EXPECT_TRUE(kernel.owner.isGrabbed("/dev/input/event4"));
    EXPECT_EQ(kernel.owner.holderCount("/dev/input/event4"), 1);
    EXPECT_EQ(kernel.calls.count(QStringLiteral("release /dev/input/event4")), 0);
}

TEST(GrabOwnerTest, ARefusedGrabHoldsNothing) {
    Kernel kernel;
    kernel.refusing = {QStringLiteral("/dev/input/event5")};
    EXPECT_FALSE(kernel.owner.hold("/dev/input/event5", kCleaning));
    EXPECT_FALSE(kernel.owner.isGrabbed("/dev/input/event5"));
    EXPECT_FALSE(kernel.owner.anyGrab());
    kernel.owner.release("/dev/input/event5", kCleaning);
    EXPECT_EQ(kernel.calls, QStringList({"grab /dev/input/event5"}));
}

TEST(GrabOwnerTest, LettingGoOfEverythingDoesNotWaitAndForgetsTheHolders) {
    Kernel kernel;
    kernel.owner.hold("/dev/input/event3", kCleaning);
    kernel.owner.hold("/dev/input/event4", kPointerLock);
    kernel.owner.releaseAll();
    EXPECT_FALSE(kernel.owner.anyGrab());
    EXPECT_TRUE(kernel.calls.contains(QStringLiteral("releaseNow /dev/input/event3")));
    EXPECT_TRUE(kernel.calls.contains(QStringLiteral("releaseNow /dev/input/event4")));
    // The holders' own releases later find nothing to do.
    kernel.calls.clear();
    kernel.owner.releaseHolder(kCleaning);
    kernel.owner.release("/dev/input/event4", kPointerLock);
    EXPECT_TRUE(kernel.calls.isEmpty());
}

TEST(GrabOwnerTest, AReopenedNodeIsGrabbedAgainOnlyWhenHeldAndAGoneOneIsForgotten) {
    Kernel kernel;
    kernel.owner.hold("/dev/input/event3", kCleaning);
    kernel.calls.clear();
    kernel.owner.reapply("/dev/input/event3");
    kernel.owner.reapply("/dev/input/event9");
    EXPECT_EQ(kernel.calls, QStringList({"grab /dev/input/event3"}));

    kernel.owner.forget("/dev/input/event3");
    EXPECT_FALSE(kernel.owner.isGrabbed("/dev/input/event3"));
    kernel.owner.release("/dev/input/event3", kCleaning);
    EXPECT_EQ(kernel.calls.size(), 1);
}

TEST(GrabWatchdogTest, ExpiresOnlyWhenTheLastBeatIsOlderThanTheLimit) {
    GrabWatchdog watchdog(3.0);
    watchdog.beat(100.0);
    EXPECT_FALSE(watchdog.expired(100.0));
    EXPECT_FALSE(watchdog.expired(103.0));
    EXPECT_TRUE(watchdog.expired(103.01));
    // A beat puts it off again.
    watchdog.beat(103.5);
    EXPECT_FALSE(watchdog.expired(106.0));
    EXPECT_TRUE(watchdog.expired(107.0));
}

}  // namespace
}  // namespace glidra::linux_platform
