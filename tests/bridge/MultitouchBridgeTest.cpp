#include "bridge/MultitouchBridge.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimMultitouchFramework.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <vector>

namespace glidra {
namespace {

struct Received {
    void* device;
    std::vector<TouchPoint> points;
    std::uint64_t context;
    double timestamp;
};

std::mutex receivedMutex;
std::vector<Received> received;

void recordFrame(void* device, const TouchPoint* points, std::int32_t count, std::uint64_t context, double timestamp) {
    std::lock_guard lock(receivedMutex);
    received.push_back({device, std::vector<TouchPoint>(points, points + count), context, timestamp});
}

class MultitouchBridgeTest : public ::testing::Test {
protected:
    MultitouchBridgeTest() {
        received.clear();
        MultitouchBridge::setShared(&bridge);
    }

    sim::SimMultitouchFramework framework;
    sim::SimDisplayBrightness displays;
    sim::ManualClock clock{100.0};
    MultitouchBridge bridge{framework, displays, clock};
};

TEST_F(MultitouchBridgeTest, KeepsTouchingContactsUpToSixteenWithSanePressure) {
    auto device = framework.addDevice();
    ASSERT_TRUE(glidraMTStart(&recordFrame, 7));
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float subnormal = std::numeric_limits<float>::denorm_min();
    framework.deliver(device,
                      {{1, 3, 0.1f, 0.2f, 50},
                       {2, 1, 0.3f, 0.3f, 50},
                       {3, 4, 0.4f, 0.5f, -1},
                       {4, 5, 0.5f, 0.5f, 9},
                       {5, 4, 0.6f, 0.6f, inf},
                       {6, 4, 0.7f, 0.7f, nan},
                       {7, 4, 0.8f, 0.8f, subnormal}},
                      12.5);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].device, device);
    EXPECT_EQ(received[0].context, 7u);
    EXPECT_EQ(received[0].timestamp, 12.5);
    EXPECT_EQ(received[0].points, (std::vector<TouchPoint>{{1, 0.1f, 0.2f, 50},
                                                           {3, 0.4f, 0.5f, 0},
                                                           {5, 0.6f, 0.6f, 0},
                                                           {6, 0.7f, 0.7f, 0},
                                                           {7, 0.8f, 0.8f, subnormal}}));

    std::vector<DriverTouch> twenty;
    for (int i = 0; i < 20; ++i) twenty.push_back({i, 4, 0.5f, 0.5f, 1});
    framework.deliver(device, twenty, 13.0);
    ASSERT_EQ(received.size(), 2u);
    ASSERT_EQ(received[1].points.size(), 16u);
    EXPECT_EQ(received[1].points.back().id, 15);
    EXPECT_EQ(glidraMTFrameCount(), 2u);
}

TEST_F(MultitouchBridgeTest, AFrameWithNothingKeptStillReachesTheHandlerButNotTheClock) {
    auto device = framework.addDevice();
    ASSERT_TRUE(glidraMTStart(&recordFrame, 1));
    EXPECT_TRUE(std::isinf(glidraMTSecondsSinceLastFrame()));
    framework.deliver(device, {{1, 1, 0.5f, 0.5f, 1}, {2, 7, 0.5f, 0.5f, 1}}, 1.0);
    framework.deliver(device, {}, 1.1);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_TRUE(received[0].points.empty());
    EXPECT_EQ(glidraMTFrameCount(), 0u);
    EXPECT_TRUE(std::isinf(glidraMTSecondsSinceLastFrame()));

    framework.deliver(device, {{1, 4, 0.5f, 0.5f, 1}}, 1.2);
    clock.set(101.5);
    EXPECT_DOUBLE_EQ(glidraMTSecondsSinceLastFrame(), 1.5);

    // A frame the driver took in before the stop reaches the bridge while it
    // stops, after it has let go of the handler.
    framework.holdFrameInFlight(device, {{1, 4, 0.5f, 0.5f, 1}}, 1.3);
    glidraMTStop();
    EXPECT_TRUE(std::isinf(glidraMTSecondsSinceLastFrame()));
    EXPECT_EQ(glidraMTFrameCount(), 1u);
    EXPECT_EQ(received.size(), 3u);
}

TEST_F(MultitouchBridgeTest, StartWhileStartedRegistersOnceWithTheLatestHandlerAndContext) {
    auto device = framework.addDevice();
    ASSERT_TRUE(glidraMTStart(&recordFrame, 1));
    ASSERT_TRUE(glidraMTStart(&recordFrame, 2));
    EXPECT_EQ(framework.registrationCount(device), 1);
    EXPECT_EQ(framework.log(),
              (std::vector<std::string>{"register 1", "start 1", "unregister 1", "stop 1", "register 1", "start 1"}));
    framework.deliver(device, {{1, 4, 0.5f, 0.5f, 1}}, 1.0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].context, 2u);
    glidraMTStop();
    EXPECT_EQ(framework.openDeviceLists(), 0);
}

TEST_F(MultitouchBridgeTest, FailedStartsEndStopped) {
    framework.setLoadFails(true);
    framework.addDevice();
    EXPECT_FALSE(glidraMTStart(&recordFrame, 1));
    framework.setLoadFails(false);

    sim::SimMultitouchFramework empty;
    MultitouchBridge noDevices(empty, displays, clock);
    EXPECT_FALSE(noDevices.start(&recordFrame, 1));
    EXPECT_EQ(empty.openDeviceLists(), 0);

    sim::SimMultitouchFramework failing;
    auto device = failing.addDevice();
    failing.setStartFails(device, true);
    MultitouchBridge allFail(failing, displays, clock);
    EXPECT_FALSE(allFail.start(&recordFrame, 1));
    EXPECT_EQ(failing.registrationCount(device), 0);
    EXPECT_EQ(failing.openDeviceLists(), 0);
}

TEST_F(MultitouchBridgeTest, FramesFromTheDriverThreadDuringStopAreDroppedNotTorn) {
    auto device = framework.addDevice();
    ASSERT_TRUE(glidraMTStart(&recordFrame, 3));
    std::atomic<bool> running{true};
    std::atomic<int> attempts{0};
    std::thread driver([&] {
        // The sim only delivers to started devices; keep delivering as the
        // driver would while the main thread stops and restarts.
        for (int i = 0; running; ++i) {
            framework.deliver(device, {{i, 4, 0.5f, 0.5f, 1}}, double(i));
            ++attempts;
        }
    });
    for (int i = 0; i < 200; ++i) {
        glidraMTStop();
        ASSERT_TRUE(glidraMTStart(&recordFrame, 3));
    }
    glidraMTStop();
    std::size_t afterStop;
    {
        std::lock_guard lock(receivedMutex);
        afterStop = received.size();
    }
    const int attemptsAtStop = attempts;
    while (attempts < attemptsAtStop + 100) std::this_thread::yield();
    running = false;
    driver.join();
    EXPECT_EQ(received.size(), afterStop);
    for (const auto& frame : received) {
        ASSERT_EQ(frame.points.size(), 1u);
        EXPECT_EQ(frame.context, 3u);
    }
}

std::atomic<std::uint64_t> lastContext{0};

void noteContext(void*, const TouchPoint*, std::int32_t, std::uint64_t context, double) { lastContext = context; }

// Run under ThreadSanitizer and AddressSanitizer by scripts/sanitize: a
// callback still inside a deleted bridge shows there as a use after free.
TEST_F(MultitouchBridgeTest, DeletingTheSharedBridgeWhileADriverThreadDeliversWaitsForTheCallbackInside) {
    // Frames reach the shared bridge through whichever bridge registered the
    // callback: its own registration, which its stop ends, or another's,
    // which nothing but the bridge itself can fence.
    for (const bool ownRegistration : {true, false}) {
        SCOPED_TRACE(ownRegistration ? "own registration" : "another bridge's registration");
        sim::SimMultitouchFramework driverSide;
        const auto device = driverSide.addDevice();
        MultitouchBridge registering(driverSide, displays, clock);
        if (!ownRegistration) {
            ASSERT_TRUE(registering.start(&noteContext, 0));
        }
        sim::SimMultitouchFramework otherSide;
        otherSide.addDevice();

        // Several driver threads queue on the bridge's mutex, holding the
        // bridge they found in the slot, while the main thread deletes it.
        std::atomic<bool> running{true};
        std::vector<std::thread> drivers;
        for (int i = 0; i < 4; ++i) {
            drivers.emplace_back([&] {
                while (running) driverSide.deliver(device, {{1, 4, 0.5f, 0.5f, 1}}, 1.0);
            });
        }
        for (std::uint64_t round = 1; round <= 100; ++round) {
            auto* bridge = new MultitouchBridge(ownRegistration ? driverSide : otherSide, displays, clock);
            ASSERT_TRUE(bridge->start(&noteContext, round));
            MultitouchBridge::setShared(bridge);
            while (lastContext != round) std::this_thread::yield();
            delete bridge;
        }
        running = false;
        for (auto& driver : drivers) driver.join();
        EXPECT_EQ(MultitouchBridge::shared(), nullptr);
    }
    MultitouchBridge::setShared(&bridge);
}

TEST_F(MultitouchBridgeTest, BrightnessStepsAreClampedOnTheFirstReadableBuiltInDisplay) {
    struct Case {
        float start;
        float delta;
        float expected;
    };
    for (const Case& c : {Case{0.98f, 0.06f, 1.0f}, Case{0.02f, -0.06f, 0.0f}, Case{0.5f, NAN, 0.0f}}) {
        sim::SimDisplayBrightness screens;
        screens.addDisplay(1, {false, 0.3f, false});
        screens.addDisplay(2, {true, std::nullopt, false});
        screens.addDisplay(3, {true, c.start, false});
        MultitouchBridge b(framework, screens, clock);
        float level = -1;
        ASSERT_TRUE(b.stepBuiltInBrightness(&level, c.delta));
        EXPECT_EQ(level, c.expected);
        EXPECT_EQ(screens.display(3).level, c.expected);
    }

    sim::SimDisplayBrightness failingSetter;
    failingSetter.addDisplay(1, {true, 0.5f, true});
    MultitouchBridge b(framework, failingSetter, clock);
    float level = -1;
    EXPECT_FALSE(b.stepBuiltInBrightness(&level, 0.1f));
    EXPECT_FLOAT_EQ(level, 0.6f) << "the attempted value is written even when the display refuses it";

    sim::SimDisplayBrightness none;
    MultitouchBridge noDisplay(framework, none, clock);
    level = -1;
    EXPECT_FALSE(noDisplay.stepBuiltInBrightness(&level, 0.1f));
    EXPECT_EQ(level, -1);
}

TEST_F(MultitouchBridgeTest, TellsTheSurfaceOfAListedDeviceOnly) {
    auto sized = framework.addDevice();
    auto unsized = framework.addDevice();
    framework.setSurfaceDimensions(sized, SurfaceDimensions{73, 48});
    float width = 0;
    float height = 0;
    // Before listening no reference is valid.
    EXPECT_FALSE(glidraMTSurfaceDimensions(sized, &width, &height));

    ASSERT_TRUE(glidraMTStart(&recordFrame, 1));
    ASSERT_TRUE(glidraMTSurfaceDimensions(sized, &width, &height));
    EXPECT_EQ(width, 73.0f);
    EXPECT_EQ(height, 48.0f);
    EXPECT_FALSE(glidraMTSurfaceDimensions(unsized, &width, &height));
    int stranger = 0;
    EXPECT_FALSE(glidraMTSurfaceDimensions(&stranger, &width, &height));
    EXPECT_FALSE(glidraMTSurfaceDimensions(sized, nullptr, &height));

    glidraMTStop();
    EXPECT_FALSE(glidraMTSurfaceDimensions(sized, &width, &height));
}

}  // namespace
}  // namespace glidra
