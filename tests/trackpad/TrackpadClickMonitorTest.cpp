#include "platform/EventMarkers.h"
#include "platform/sim/SimMouseButtonMonitor.h"
#include "support/QtPrinters.h"
#include "support/SimTime.h"
#include "trackpad/TrackpadClickMonitor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace glidra {
namespace {

using sim::SimMouseButtonMonitor;
using Type = InputEvent::Type;
using Kind = GestureDescriptor::Kind;

constexpr std::int64_t kOwnProcess = 4242;
constexpr DeviceId kPadA = 1;
constexpr DeviceId kPadB = 2;

std::vector<TouchPoint> fingers(int count, float x = 0.3f) {
    std::vector<TouchPoint> points;
    for (int i = 0; i < count; ++i) points.push_back(TouchPoint{i + 1, x + 0.1f * float(i), 0.5f, 100});
    return points;
}

struct Click {
    GestureDescriptor gesture;
    GestureSessionContext context;
    double at;
};

class TrackpadClickMonitorTest : public ::testing::Test {
protected:
    test::SimTime time;
    SimMouseButtonMonitor mouse;
    int clickSequenceResets = 0;
    std::vector<Click> clicks;
    TrackpadClickMonitor monitor{
        TrackpadClickMonitor::Services{mouse, time.scheduler, kOwnProcess, [this] { ++clickSequenceResets; }},
        [this] { return time.clock.uptime(); },
        [this](const GestureDescriptor& gesture, const GestureSessionContext& context) {
            clicks.push_back(Click{gesture, context, time.clock.uptime()});
        }};

    void SetUp() override { monitor.start(); }

    // What the frame path does with every frame of a device.
    void frameAt(double t, DeviceId device, std::vector<TouchPoint> points, GestureSessionContext context = {}) {
        time.advanceTo(t);
        auto& recognizer = monitor.recognizers[device];
        recognizer.update(points, monitor.now());
        if (!points.empty()) monitor.contexts[device] = std::move(context);
        monitor.frameTimes[device] = monitor.now();
    }
    void buttonAt(double t, Type type, bool fromTouchpad = true) {
        time.advanceTo(t);
        mouse.click(SimMouseButtonMonitor::userButton(type, fromTouchpad));
    }
    static GestureSessionContext contextOf(const char* app) {
        GestureSessionContext context;
        context.app = QString::fromLatin1(app);
        return context;
    }
};

TEST_F(TrackpadClickMonitorTest, PressAndReleaseGiveAClickWithTheRestingFingers) {
    frameAt(1.00, kPadA, fingers(2), contextOf("com.example.editor"));
    buttonAt(1.05, Type::leftMouseDown);
    EXPECT_TRUE(monitor.isPressed(kPadA));
    EXPECT_EQ(monitor.pressedDevice(), kPadA);
    EXPECT_EQ(monitor.pressedButton(), 0);
    EXPECT_EQ(clickSequenceResets, 1);

    buttonAt(1.25, Type::leftMouseUp);
    time.advanceTo(1.25 + 0.04);
    EXPECT_TRUE(clicks.empty()) << "resolved before the release's frames could arrive";
    time.advanceTo(1.30);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].gesture, (GestureDescriptor{Kind::click, 2, GestureDescriptor::Direction::right, 1}));
    EXPECT_EQ(clicks[0].context, contextOf("com.example.editor"));
    EXPECT_FALSE(monitor.pressedDevice());
    EXPECT_FALSE(monitor.pressedButton());
    // The press keeps the contact session until the next one starts.
    EXPECT_TRUE(monitor.isPressed(kPadA));
}

TEST_F(TrackpadClickMonitorTest, AHeldPressIsALongPress) {
    frameAt(1.00, kPadA, fingers(3));
    buttonAt(1.05, Type::rightMouseDown);
    EXPECT_EQ(monitor.pressedButton(), 1);
    buttonAt(1.70, Type::rightMouseUp);
    time.advanceBy(0.05);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].gesture, (GestureDescriptor{Kind::longPress, 3, GestureDescriptor::Direction::right, 1}));
}

TEST_F(TrackpadClickMonitorTest, TheFramesThatComeWithTheReleaseAreTakenInFirst) {
    frameAt(1.00, kPadA, fingers(2));
    buttonAt(1.05, Type::leftMouseDown);
    buttonAt(1.20, Type::leftMouseUp);
    // A third finger lands just after the release: the press was no click.
    frameAt(1.21, kPadA, fingers(3));
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(monitor.pressedDevice());
}

TEST_F(TrackpadClickMonitorTest, AFingerRollingOffAfterTheReleaseDoesNotDrag) {
    // Drifting 0.02 while held, then 0.03 more as it leaves the pad: 0.05
    // from where it pressed.
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.05, Type::leftMouseDown);
    frameAt(1.10, kPadA, fingers(1, 0.32f));
    buttonAt(1.20, Type::leftMouseUp);
    frameAt(1.22, kPadA, fingers(1, 0.35f));
    frameAt(1.24, kPadA, {});
    time.advanceBy(0.1);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].gesture.kind, Kind::click);

    // Sliding as far while the button is still down is a drag.
    frameAt(2.00, kPadA, fingers(1));
    buttonAt(2.05, Type::leftMouseDown);
    frameAt(2.10, kPadA, fingers(1, 0.35f));
    buttonAt(2.20, Type::leftMouseUp);
    time.advanceBy(0.1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(TrackpadClickMonitorTest, AClickGoesToTheTrackpadTouchedMostRecently) {
    frameAt(1.00, kPadA, fingers(1));
    frameAt(1.08, kPadB, fingers(2));
    buttonAt(1.10, Type::leftMouseDown);
    EXPECT_EQ(monitor.pressedDevice(), kPadB);
    EXPECT_FALSE(monitor.isPressed(kPadA));
    buttonAt(1.20, Type::leftMouseUp);
    time.advanceBy(0.05);
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].gesture.fingers, 2);
}

TEST_F(TrackpadClickMonitorTest, TrackpadsThatCannotHaveMadeThePressArePassedOver) {
    struct Case {
        const char* name;
        std::vector<TouchPoint> padBPoints;
        void (*spoil)(TrackpadClickRecognizer&);
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {"five contacts", fingers(5), nullptr},
        {"all lifted", {}, nullptr},
        {"not a finite position", {TouchPoint{1, nan, 0.5f, 10}}, nullptr},
        {"force-pressed", fingers(1), [](TrackpadClickRecognizer& r) { r.forcePressed = true; }},
        {"press already pending", fingers(1), [](TrackpadClickRecognizer& r) { r.downTime = 1.0; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        monitor.reset();
        const double t = time.clock.uptime() + 1;
        frameAt(t, kPadA, fingers(1));
        frameAt(t + 0.05, kPadB, fingers(2));
        frameAt(t + 0.06, kPadB, c.padBPoints);
        if (c.spoil) c.spoil(monitor.recognizers[kPadB]);
        buttonAt(t + 0.1, Type::leftMouseDown);
        EXPECT_EQ(monitor.pressedDevice(), kPadA);
    }
}

TEST_F(TrackpadClickMonitorTest, ATrackpadWhoseLastFrameIsOlderThanAFewFramesDidNotClick) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.15, Type::leftMouseDown);
    EXPECT_EQ(monitor.pressedDevice(), kPadA);
    monitor.reset();

    frameAt(2.00, kPadA, fingers(1));
    buttonAt(2.16, Type::leftMouseDown);
    EXPECT_FALSE(monitor.pressedDevice());
    EXPECT_FALSE(monitor.isPressed(kPadA));
    buttonAt(2.20, Type::leftMouseUp);
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TrackpadClickMonitorTest, AMouseClickBreaksTheClickSequenceButIsNoGesture) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.05, Type::leftMouseDown, false);
    buttonAt(1.10, Type::leftMouseUp, false);
    buttonAt(1.15, Type::otherMouseDown, false);
    time.advanceBy(0.1);
    EXPECT_EQ(clickSequenceResets, 2);
    EXPECT_FALSE(monitor.pressedDevice());
    EXPECT_TRUE(clicks.empty());
}

TEST_F(TrackpadClickMonitorTest, OnlyTheReleaseOfThePressedButtonResolvesIt) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.05, Type::leftMouseDown);
    buttonAt(1.10, Type::rightMouseUp);
    buttonAt(1.12, Type::otherMouseDown);
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(monitor.pressedDevice(), kPadA);

    buttonAt(1.30, Type::leftMouseUp);
    time.advanceBy(0.05);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(TrackpadClickMonitorTest, ASecondReleaseReplacesTheFirstAndBringsItsOwnTime) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.00, Type::leftMouseDown);
    buttonAt(1.59, Type::leftMouseUp);
    buttonAt(1.62, Type::leftMouseUp);
    time.advanceBy(0.2);
    ASSERT_EQ(clicks.size(), 1u);
    // Held 0.62 s by the later release: a long press, resolved after it.
    EXPECT_EQ(clicks[0].gesture.kind, Kind::longPress);
    EXPECT_DOUBLE_EQ(clicks[0].at, 1.62 + TrackpadClickMonitor::kReleaseDelay);
}

TEST_F(TrackpadClickMonitorTest, ANewTouchpadPressAbandonsThePendingOne) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.05, Type::leftMouseDown);
    // A mouse's press does not abandon it...
    buttonAt(1.07, Type::rightMouseDown, false);
    EXPECT_EQ(monitor.pressedButton(), 0);
    // ...a touchpad's does; the pad is claimed again for the new button.
    buttonAt(1.10, Type::rightMouseDown);
    EXPECT_EQ(monitor.pressedButton(), 1);
    EXPECT_EQ(monitor.recognizers[kPadA].downTime, 1.10);
    buttonAt(1.20, Type::leftMouseUp);
    buttonAt(1.25, Type::rightMouseUp);
    time.advanceBy(0.1);
    ASSERT_EQ(clicks.size(), 1u);

    // A release still pending when a new press comes is dropped unresolved.
    frameAt(2.00, kPadA, fingers(1));
    buttonAt(2.03, Type::leftMouseDown);
    buttonAt(2.10, Type::leftMouseUp);
    buttonAt(2.12, Type::leftMouseDown);
    time.advanceBy(0.1);
    EXPECT_EQ(clicks.size(), 1u);
    EXPECT_EQ(monitor.recognizers[kPadA].downTime, 2.12);
}

TEST_F(TrackpadClickMonitorTest, OurOwnClicksAreIgnoredEntirely) {
    frameAt(1.00, kPadA, fingers(1));
    InputEvent marked = SimMouseButtonMonitor::userButton(Type::leftMouseDown);
    marked.origin = EventOrigin::otherProcess;
    marked.sourceProcessId = 99;
    marked.userData = kMouseEventMarker;
    InputEvent byProcess = SimMouseButtonMonitor::userButton(Type::leftMouseDown);
    byProcess.origin = EventOrigin::otherProcess;
    byProcess.sourceProcessId = kOwnProcess;
    InputEvent byOrigin = SimMouseButtonMonitor::userButton(Type::leftMouseDown);
    byOrigin.origin = EventOrigin::ownProcess;
    InputEvent byVirtualDevice = SimMouseButtonMonitor::userButton(Type::leftMouseDown);
    byVirtualDevice.origin = EventOrigin::ownVirtualDevice;
    for (const InputEvent& event : {marked, byProcess, byOrigin, byVirtualDevice}) mouse.click(event);
    EXPECT_EQ(clickSequenceResets, 0);
    EXPECT_FALSE(monitor.pressedDevice());

    // Our own release cannot resolve the user's press either.
    buttonAt(1.05, Type::leftMouseDown);
    InputEvent ownUp = SimMouseButtonMonitor::userButton(Type::leftMouseUp);
    ownUp.userData = kMouseEventMarker;
    mouse.click(ownUp);
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());

    // An adapter that says nothing about the origin delivers the user's press.
    InputEvent unstated;
    unstated.type = Type::leftMouseUp;
    unstated.isTouchSubtype = true;
    mouse.click(unstated);
    time.advanceBy(0.1);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(TrackpadClickMonitorTest, StopDuringTheReleaseDelayDeliversNothingAndClearsEverything) {
    frameAt(1.00, kPadA, fingers(2));
    buttonAt(1.05, Type::leftMouseDown);
    buttonAt(1.20, Type::leftMouseUp);
    EXPECT_TRUE(monitor.hasPendingRelease());
    monitor.stop();
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(monitor.hasPendingRelease());
    EXPECT_FALSE(monitor.isMonitoring());
    EXPECT_EQ(mouse.localMonitors(), 0);
    EXPECT_EQ(mouse.globalMonitors(), 0);
    EXPECT_TRUE(monitor.recognizers.empty());
    EXPECT_TRUE(monitor.contexts.empty());
    EXPECT_TRUE(monitor.frameTimes.empty());
    EXPECT_FALSE(monitor.pressedDevice());

    // Stopped: button events no longer arrive.
    buttonAt(2.0, Type::leftMouseDown);
    EXPECT_EQ(clickSequenceResets, 1);
}

TEST_F(TrackpadClickMonitorTest, ResetDropsAPendingReleaseButKeepsTheMonitors) {
    frameAt(1.00, kPadA, fingers(1));
    buttonAt(1.05, Type::leftMouseDown);
    buttonAt(1.20, Type::leftMouseUp);
    monitor.reset();
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_TRUE(monitor.isMonitoring());
    EXPECT_TRUE(monitor.recognizers.empty());
}

TEST_F(TrackpadClickMonitorTest, StartingAgainInstallsOneGlobalAndOneLocalMonitor) {
    monitor.start();
    monitor.start();
    EXPECT_EQ(mouse.globalMonitors(), 1);
    EXPECT_EQ(mouse.localMonitors(), 1);

    // A click on our own window reaches the monitor through the local one.
    frameAt(1.00, kPadA, fingers(1));
    time.advanceTo(1.05);
    mouse.click(SimMouseButtonMonitor::userButton(Type::leftMouseDown), SimMouseButtonMonitor::Target::ownWindow);
    EXPECT_EQ(monitor.pressedDevice(), kPadA);
}

TEST_F(TrackpadClickMonitorTest, AClickWithoutASessionContextIsNotDelivered) {
    frameAt(1.00, kPadA, fingers(1));
    monitor.contexts.clear();
    buttonAt(1.05, Type::leftMouseDown);
    buttonAt(1.20, Type::leftMouseUp);
    time.advanceBy(0.1);
    EXPECT_TRUE(clicks.empty());
    EXPECT_FALSE(monitor.pressedDevice());
}

}  // namespace
}  // namespace glidra
