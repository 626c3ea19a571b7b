#pragma once

// A controller that is switched on and listening, fed short frame scripts on
// the manual clock: each frame first lets the clock reach its time (so waiting
// taps fire in order), then goes through the frame handler.

#include "support/ControllerHarness.h"
#include "support/FrameBuilder.h"
#include "support/QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace glidra::test {

inline GestureRule makeRule(GestureDescriptor::Kind kind, qint64 fingers, GestureAction action,
                            GestureDescriptor::Direction direction = GestureDescriptor::Direction::right,
                            qint64 tapCount = 1) {
    GestureRule rule;
    rule.gesture = GestureDescriptor{kind, fingers, direction, tapCount};
    rule.action = action;
    return rule;
}

inline GestureRule tapRule(qint64 fingers, qint64 tapCount, GestureAction action) {
    return makeRule(GestureDescriptor::Kind::tap, fingers, action, GestureDescriptor::Direction::right, tapCount);
}

inline GestureRule swipeRule(qint64 fingers, GestureDescriptor::Direction direction, GestureAction action) {
    return makeRule(GestureDescriptor::Kind::swipe, fingers, action, direction);
}

// A quick one-finger tap at (x, y): down at t, lifted 0.1 s later.
inline FrameBuilder tapAt(double t, float x = 0.5f, float y = 0.5f, int fingers = 1) {
    FrameBuilder b;
    for (int i = 0; i < fingers; ++i) b.touch(i + 1, x + 0.05f * float(i), y);
    b.at(t).hold(t + 0.1, 0.02);
    return b.up(t + 0.12);
}

// A quick swipe of `fingers` fingers from (x, y) by (dx, dy) over 0.2 s.
inline FrameBuilder swipeAt(double t, int fingers, float dx, float dy, float x = 0.3f, float y = 0.5f) {
    FrameBuilder b;
    for (int i = 0; i < fingers; ++i) b.touch(i + 1, x + 0.05f * float(i), y);
    b.at(t);
    for (int i = 0; i < fingers; ++i) b.moveBy(i + 1, dx, dy);
    b.over(t + 0.2, 10);
    return b.up(t + 0.22);
}

// The controller switched on and listening in an editor, with the frame
// scripts and the record of the dispatched actions; a rig of its own where a
// test runs several cases side by side.
struct FramePathRig {
    static constexpr DeviceId kPad = 0x5100;
    static constexpr DeviceId kOtherPad = 0x5200;

    ControllerHarness h;
    TrackpadController& c = *h.controller;

    // `makeVideoScrubber` builds the scrubber in place of the recording fake.
    explicit FramePathRig(const ControllerHarness::VideoScrubberFactory& makeVideoScrubber = {})
        : h({}, {}, makeVideoScrubber) {
        c.setEnabled(true);
        c.setListening(true);
        h.frontmost.setBundleIdentifier(QStringLiteral("com.example.editor"));
        // As starting to listen records it.
        c.setCurrentApplicationID(h.frontmost.bundleIdentifier());
        h.log.calls.clear();
    }

    void setRules(std::vector<GestureRule> rules) { h.settings.setRules(std::move(rules)); }

    void play(const std::vector<Frame>& frames, DeviceId device = kPad) {
        for (const Frame& frame : frames) {
            if (frame.time > h.time.clock.uptime()) h.time.advanceTo(frame.time);
            c.handleFrame(device, frame.points, frame.time);
        }
    }

    // The bindings whose actions reached the dispatcher, in order, once the
    // action tasks queued so far have run.
    const std::vector<GestureBinding>& dispatched() {
        SimTime::drain();
        return h.dispatcher.performed;
    }
    std::vector<GestureAction> ranActions() {
        std::vector<GestureAction> actions;
        for (const auto& binding : dispatched()) actions.push_back(binding.action);
        return actions;
    }
    void clearDispatched() {
        SimTime::drain();
        h.dispatcher.performed.clear();
    }
};

class FramePathTest : public ::testing::Test, protected FramePathRig {};

}  // namespace glidra::test
