#pragma once

// The shared action executors and the dispatcher on the sim platform,
// attached to a controller that is switched on and listening. Posted events go
// through the sim event taps, as the system sends them, so the executors' own
// taps see them.

#include "dispatch/ActionDispatcher.h"
#include "executors/ActionExecutors.h"
#include "platform/EventMarkers.h"
#include "platform/sim/SimActionSystem.h"
#include "support/ControllerHarness.h"
#include "support/FakeExecutorGroups.h"
#include "support/NoticePrinter.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

namespace glidra {

inline void PrintTo(const InputEvent& e, std::ostream* os) {
    *os << "{type " << int(e.type) << ", key " << e.keyCode << ", flags 0x" << std::hex << e.flags << ", data 0x"
        << e.userData << std::dec << ", origin " << int(e.origin) << ", at (" << e.location.x() << ", "
        << e.location.y() << "), button " << e.mouseButton << ", clicks " << e.clickState << ", scroll ("
        << e.scrollDeltaX << ", " << e.scrollDeltaY << "), subtype " << e.subtype << ", data1 0x" << std::hex << e.data1
        << std::dec << ", data2 " << e.data2 << "}";
}

}  // namespace glidra

namespace glidra::test {

using Type = InputEvent::Type;
using namespace modifier_flag;

struct ExecutorRig : sim::SimActionSystem {
    FakeExecutorGroups groups;
    FakeHUD* dragHud = nullptr;
    ActionExecutors* executors = nullptr;
    ActionDispatcher* dispatcher = nullptr;
    ControllerHarness h{[this](ControllerHarness& harness) {
        auto made = std::make_unique<ActionExecutors>(ActionExecutors::Ports{
            poster,
            taps,
            harness.keyboard,
            harness.frontmost,
            harness.accessibilityTrust,
            desktopViews,
            harness.time.clock,
            harness.time.scheduler,
            systemEvents,
            audio,
            power,
            keyboardBacklight,
            desktopPreferences,
            screenCovers,
            pasteboard,
            screenshots,
            browserPages,
            textSelection,
            translation,
            harness.settings,
            [this, &harness](AdjustmentHUDSettings) {
                auto hud = std::make_unique<FakeHUD>(harness.log);
                // The drag's HUD is made first; the shortcut service's after.
                if (!dragHud) dragHud = hud.get();
                return hud;
            },
            workspace,
            accessibility,
            keyboardSettings,
            windows,
            screens,
            systemPower,
            bookmarks,
            processes,
            QStringLiteral("glidra.desktop"),
        });
        executors = made.get();
        auto madeDispatcher = std::make_unique<ActionDispatcher>(
            ActionDispatcher::Ports{poster, harness.keyboard, harness.frontmost, harness.accessibilityTrust, workspace},
            ActionDispatcher::Executors{*executors, groups, groups, *executors});
        dispatcher = madeDispatcher.get();
        harness.builtDispatcher = std::move(madeDispatcher);
        return made;
    }};
    TrackpadController& c = *h.controller;

    ExecutorRig() {
        h.accessibilityTrust.setTrusted(true);
        executors->attachController(c);
        c.setEnabled(true);
        c.setListening(true);
    }

    SystemApplicationSwitcher& switcher() { return executors->systemApplicationSwitcher(); }
    MouseDragController& drag() { return executors->mouseDrag(); }
    SyntheticInput& input() { return executors->syntheticInput(); }

    // What the user's hardware sends, after the taps: nothing when swallowed.
    std::optional<InputEvent> userKey(InputEvent::Type type, std::uint16_t keyCode, std::uint64_t flags = 0) {
        return taps.deliver(sim::SimEventTap::userKey(type, keyCode, flags));
    }
    std::optional<InputEvent> userMouse(InputEvent::Type type, QPointF location = {}) {
        return taps.deliver(sim::SimEventTap::userMouse(type, location));
    }

    void clearEvents() {
        poster.clearPosted();
        taps.clearDelivered();
    }
};

class ExecutorTest : public ::testing::Test, protected ExecutorRig {};

// One posted event, as tests describe it.
struct PostedKey {
    InputEvent::Type type;
    std::uint16_t keyCode;
    std::uint64_t flags;
    friend bool operator==(const PostedKey&, const PostedKey&) = default;
};

inline std::vector<PostedKey> keysOf(const std::vector<InputEvent>& events) {
    std::vector<PostedKey> keys;
    for (const InputEvent& e : events) keys.push_back(PostedKey{e.type, e.keyCode, e.flags});
    return keys;
}

inline void PrintTo(const PostedKey& key, std::ostream* os) {
    *os << "{type " << int(key.type) << ", key " << key.keyCode << ", flags 0x" << std::hex << key.flags << std::dec
        << "}";
}

}  // namespace glidra::test
