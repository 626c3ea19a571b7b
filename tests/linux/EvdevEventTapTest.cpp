#include "platform/EventMarkers.h"
#include "platform/linux/EvdevEventTap.h"
#include "platform/linux/UinputEventPoster.h"
#include "platform/sim/SimKeyboardState.h"
#include "platform/sim/SimPointerControl.h"
#include "support/RecordingVirtualDevice.h"
#include "support/UmockdevInput.h"

#include <gtest/gtest.h>

#include <QTest>

#include <linux/input-event-codes.h>

#include <chrono>
#include <thread>

namespace glidra::test {
namespace {

using namespace linux_platform;
using Type = InputEvent::Type;

const QStringList kKeyboard{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_KEYBOARD=1")};
const QStringList kMouse{QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_MOUSE=1")};

std::vector<evdev::EvdevEvent> keyPresses(std::initializer_list<std::uint16_t> codes) {
    std::vector<evdev::EvdevEvent> events;
    double t = 0;
    for (const std::uint16_t code : codes) {
        for (const int value : {1, 0}) {
            events.push_back({t, EV_KEY, code, value});
            events.push_back({t, EV_SYN, SYN_REPORT, 0});
            t += 0.01;
        }
    }
    return events;
}

evdev::DeviceDescription mouse() {
    evdev::DeviceDescription device;
    device.name = "Mock Mouse";
    auto& keys = device.eventBits[EV_KEY];
    keys.assign(96, 0);
    for (const unsigned code : {BTN_LEFT, BTN_RIGHT, BTN_MIDDLE}) keys[code / 8] |= std::uint8_t(1u << (code % 8));
    device.eventBits[EV_REL] = {0x03};  // REL_X, REL_Y
    return device;
}

// The taps over the hub's keyboards, and our virtual device recording what
// is passed on and posted.
class EvdevEventTapTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!UmockdevInput::available()) GTEST_SKIP() << "umockdev's preload library is not loaded";
        devices = std::make_unique<UmockdevInput>();
    }

    void build(EvdevInputHub::Options options = {}) {
        hub = std::make_unique<EvdevInputHub>(options);
        poster = std::make_unique<UinputEventPoster>(virtualDevice, userKeyboard, pointer);
        taps = std::make_unique<EvdevEventTap>(*hub, *poster);
        poster->routeThrough([this](const InputEvent& event) { return taps->filterOwnEvent(event); });
    }

    void TearDown() override {
        taps.reset();
        poster.reset();
        hub.reset();
    }

    std::unique_ptr<UmockdevInput> devices;
    RecordingVirtualDevice virtualDevice;
    sim::SimKeyboardState userKeyboard;
    sim::SimPointerControl pointer;
    std::unique_ptr<EvdevInputHub> hub;
    std::unique_ptr<UinputEventPoster> poster;
    std::unique_ptr<EvdevEventTap> taps;
};

QString key(std::uint16_t code, int value) { return RecordingVirtualDevice::key(code, value); }

TEST_F(EvdevEventTapTest, AKeyTapHoldsTheKeyboardsAndPassesOnWhatItLetsThrough) {
    const QByteArray keyboard = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    build();
    std::vector<InputEvent> seen;
    auto tap = taps->install(EvdevEventTap::kKeyTypes,
                             [&seen](const InputEvent& event) -> std::optional<InputEvent> {
                                 seen.push_back(event);
                                 if (event.keyCode == 53) return std::nullopt;  // swallows Escape
                                 return event;
                             },
                             {});
    ASSERT_TRUE(tap);
    EXPECT_TRUE(tap->isEnabled());
    EXPECT_TRUE(hub->grabs().isGrabbed(keyboard));

    ASSERT_TRUE(devices->replay(keyboard, keyPresses({KEY_ESC, KEY_B})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen.size() == 4; }, 5'000));
    EXPECT_EQ(seen[0].type, Type::keyDown);
    EXPECT_EQ(seen[0].keyCode, 53);
    EXPECT_EQ(seen[0].origin, EventOrigin::hardware);
    EXPECT_EQ(seen[3].type, Type::keyUp);
    EXPECT_EQ(seen[3].keyCode, 11);
    // The desktop sees B through our device, and no Escape.
    EXPECT_EQ(virtualDevice.events(), QStringList({key(KEY_B, 1), key(KEY_B, 0)}));

    // Disabled, then gone: the keyboard is the desktop's again.
    tap->setEnabled(false);
    EXPECT_FALSE(hub->grabs().isGrabbed(keyboard));
    tap->setEnabled(true);
    EXPECT_TRUE(hub->grabs().isGrabbed(keyboard));
    tap.reset();
    EXPECT_FALSE(hub->grabs().isGrabbed(keyboard));
}

TEST_F(EvdevEventTapTest, OurOwnPostedEventsPassTheTapsWithTheirMarkers) {
    devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    build();
    std::vector<InputEvent> seen;
    auto tap = taps->install(EvdevEventTap::kKeyTypes,
                             [&seen](const InputEvent& event) -> std::optional<InputEvent> {
                                 seen.push_back(event);
                                 if (event.userData == kShortcutEventMarker) return std::nullopt;
                                 return event;
                             },
                             {});
    ASSERT_TRUE(tap);
    for (const std::int64_t marker : {kShortcutEventMarker, kApplicationSwitcherEventMarker}) {
        auto event = poster->makeKeyboardEvent(48, true);
        ASSERT_TRUE(event);
        markOwnEvent(*event, marker);
        poster->post(*event);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].userData, kShortcutEventMarker);
    EXPECT_EQ(seen[0].origin, EventOrigin::ownProcess);
    EXPECT_EQ(seen[1].userData, kApplicationSwitcherEventMarker);
    // The swallowed one never reached the device.
    EXPECT_EQ(virtualDevice.events(), QStringList({key(KEY_TAB, 1)}));
}

TEST_F(EvdevEventTapTest, ATapThatSwallowsAPointerEventTakesThePointingDevices) {
    const QByteArray mouseNode = devices->addDevice(mouse(), kMouse);
    build();
    int seen = 0;
    auto tap = taps->install(EventTap::maskOf({Type::leftMouseDown, Type::leftMouseUp}),
                             [&seen](const InputEvent&) -> std::optional<InputEvent> {
                                 ++seen;
                                 return std::nullopt;
                             },
                             {});
    ASSERT_TRUE(tap);
    EXPECT_FALSE(hub->grabs().isGrabbed(mouseNode));
    ASSERT_TRUE(devices->replay(mouseNode, keyPresses({BTN_LEFT})));
    ASSERT_TRUE(QTest::qWaitFor([&] { return seen == 2; }, 5'000));
    EXPECT_TRUE(hub->grabs().isGrabbed(mouseNode));
    tap.reset();
    EXPECT_FALSE(hub->grabs().isGrabbed(mouseNode));
}

TEST_F(EvdevEventTapTest, AStuckProgramLosesItsGrabsAndItsTapsAreToldTheyWereDisabled) {
    const QByteArray keyboard = devices->addDevice(UmockdevInput::keyboard("Mock Keyboard"), kKeyboard);
    EvdevInputHub::Options options;
    options.watchdogLimit = 1.0;
    options.heartbeatIntervalMs = 50;
    build(options);
    std::vector<EventTap::DisabledReason> disabled;
    auto tap = taps->install(
        EvdevEventTap::kKeyTypes, [](const InputEvent& event) { return std::optional<InputEvent>(event); },
        [&disabled](EventTap::DisabledReason reason) { disabled.push_back(reason); });
    ASSERT_TRUE(tap);
    ASSERT_TRUE(hub->grabs().isGrabbed(keyboard));

    const auto start = std::chrono::steady_clock::now();
    while (hub->grabs().anyGrab() && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_FALSE(hub->grabs().anyGrab());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !disabled.empty(); }, 5'000));
    EXPECT_EQ(disabled, std::vector<EventTap::DisabledReason>{EventTap::DisabledReason::timeout});
    EXPECT_FALSE(tap->isEnabled());
}

TEST_F(EvdevEventTapTest, WithoutADeviceToReadNoTapIsInstalled) {
    build();
    EXPECT_EQ(taps->install(EvdevEventTap::kKeyTypes, [](const InputEvent& e) { return std::optional(e); }, {}),
              nullptr);
    EXPECT_EQ(taps->installedCount(), 0);
}

}  // namespace
}  // namespace glidra::test
