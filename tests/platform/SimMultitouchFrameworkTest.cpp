#include "platform/sim/SimMultitouchFramework.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace glidra {
namespace {

// The callbacks are plain functions, as the driver's are: they reach the test
// through these.
sim::SimMultitouchFramework* framework = nullptr;
std::vector<double> timestamps;
std::atomic<bool> callbackEntered{false};
int callbackFinished = 0;  // deliberately plain: ThreadSanitizer sees a missing wait

bool logged(const std::string& entry) {
    const auto log = framework->log();
    return std::find(log.begin(), log.end(), entry) != log.end();
}

int recordTimestamp(MultitouchDevice, const DriverTouch*, std::int32_t, double timestamp, std::int32_t) {
    timestamps.push_back(timestamp);
    return 0;
}

// Still running when the device is told to stop, and only then finishes.
int finishAfterStop(MultitouchDevice, const DriverTouch*, std::int32_t, double, std::int32_t) {
    callbackEntered = true;
    while (!logged("stop 1")) std::this_thread::yield();
    callbackFinished = 1;
    return 0;
}

class SimMultitouchFrameworkTest : public ::testing::Test {
protected:
    SimMultitouchFrameworkTest() {
        framework = &sim;
        timestamps.clear();
        callbackEntered = false;
        callbackFinished = 0;
    }
    ~SimMultitouchFrameworkTest() override { framework = nullptr; }

    sim::SimMultitouchFramework sim;
};

TEST_F(SimMultitouchFrameworkTest, StoppingADeviceReturnsOnlyWhenItsCallbacksHaveFinished) {
    const auto device = sim.addDevice();
    sim.registerContactFrameCallback(device, &finishAfterStop);
    ASSERT_EQ(sim.startDevice(device), 0);
    std::thread driver([device] { framework->deliver(device, {{1, 4, 0.5f, 0.5f, 1}}, 1.0); });
    while (!callbackEntered) std::this_thread::yield();
    sim.stopDevice(device);
    EXPECT_EQ(callbackFinished, 1) << "stop returned while a callback of the device still ran";
    driver.join();
}

TEST_F(SimMultitouchFrameworkTest, AFrameInFlightReachesTheCallbacksAsTheyAreUnregistered) {
    const auto device = sim.addDevice();
    sim.registerContactFrameCallback(device, &recordTimestamp);
    ASSERT_EQ(sim.startDevice(device), 0);
    sim.holdFrameInFlight(device, {{1, 4, 0.5f, 0.5f, 1}}, 2.0);
    sim.deliver(device, {}, 1.0);
    EXPECT_EQ(timestamps, std::vector<double>{1.0});

    sim.unregisterContactFrameCallback(device, &recordTimestamp);
    EXPECT_EQ(timestamps, (std::vector<double>{1.0, 2.0}));
    sim.registerContactFrameCallback(device, &recordTimestamp);
    sim.unregisterContactFrameCallback(device, &recordTimestamp);
    sim.stopDevice(device);
    sim.deliver(device, {}, 3.0);
    EXPECT_EQ(timestamps, (std::vector<double>{1.0, 2.0})) << "a frame in flight arrives once";
}

}  // namespace
}  // namespace glidra
