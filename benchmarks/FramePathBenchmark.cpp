// The whole road of a contact frame: the bridge's handler (copy and queue),
// the hop to the main thread, and the frame handler with both recognizers,
// the edge router, the video, tab and continuous trackers and 54 enabled
// rules, for a realistic stream of three-finger swipes and one-finger slides
// along the right edge, which adjust the volume with the pointer held. The
// swipes that no tracker takes run their discrete actions through the real
// dispatcher on the simulated system. Variants start earlier (the reader's
// assembly from the pad's events), dispatch nothing, or sweep the number of
// rules.
//
// The counters, and what each keeps meaning, are described in README.md
// beside this file. Allocations are counted per quiet frame (which acted on
// nothing: the steady state, which should be 0), per acting frame (which
// dispatched an action or took a step of a volume adjustment or a video
// scrub: its executors may allocate as they please) and per frame in all.
// Each frame's count includes the work it queued on the main thread, so an
// action's task going on there counts with the frame that started it.

#include "AllocationCounting.h"
#include "bridge/MultitouchBridge.h"
#include "common/MainThreadInbox.h"
#include "platform/evdev/DriverTouchLists.h"
#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/FrameAssembler.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "replay/SimEngine.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <new>
#include <span>
#include <vector>

namespace glidra {
namespace {

using benchmarks::allocationCount;

// --- the dispatcher, counted ----------------------------------------------------------
// Passes every action on to the engine's own dispatcher, which the engine
// takes at construction, so it is attached afterwards.

class CountingDispatcher final : public ActionDispatchService {
public:
    std::uint64_t actions = 0;
    // Null: the action is counted and goes no further.
    ActionDispatchService* target = nullptr;
    QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken token) override {
        ++actions;
        if (target == nullptr) co_return HUDNotice{};
        co_return co_await target->performGestureAction(std::move(binding), std::move(token));
    }
};

// --- the rules and the stream ----------------------------------------------------------

std::vector<GestureRule> fiftyRules() {
    using Kind = GestureDescriptor::Kind;
    using Direction = GestureDescriptor::Direction;
    const Kind kinds[] = {Kind::swipe,  Kind::tap,       Kind::forcePress, Kind::pinchIn,      Kind::pinchOut,
                          Kind::circle, Kind::holdSwipe, Kind::tapSwipe,   Kind::backAndForth, Kind::longPress};
    const Direction directions[] = {Direction::up, Direction::down, Direction::left, Direction::right};
    const GestureAction actions[] = {
        GestureAction::nextTab,   GestureAction::previousTab,    GestureAction::copy,        GestureAction::paste,
        GestureAction::playPause, GestureAction::missionControl, GestureAction::showDesktop, GestureAction::undo};
    const GestureRegion regions[] = {GestureRegion::anywhere, GestureRegion::center, GestureRegion::left,
                                     GestureRegion::top};
    std::vector<GestureRule> rules;
    for (int i = 0; i < 50; ++i) {
        GestureRule rule;
        rule.gesture = GestureDescriptor{kinds[i % 10], 2 + (i / 10) % 3, directions[i % 4], 1 + i % 3};
        rule.action = actions[i % 8];
        rule.region = regions[(i / 3) % 4];
        if (i % 7 == 3) rule.appBundleID = QStringLiteral("com.example.browser");
        if (i % 11 == 5) rule.requiredModifiers = 0x100000;
        rules.push_back(rule);
    }
    // Rules that act while the fingers move, for the front application so
    // they outrank the rest: the volume up, and scrubbing the video leftward.
    for (const auto& [direction, action] :
         {std::pair{Direction::up, GestureAction::volumeUp}, std::pair{Direction::left, GestureAction::scrubVideo}}) {
        GestureRule rule;
        rule.gesture = GestureDescriptor{Kind::swipe, 3, direction, 1};
        rule.action = action;
        rule.appBundleID = QStringLiteral("com.example.browser");
        rules.push_back(rule);
    }
    // And discrete ones for the other two directions.
    for (const auto& [direction, action] : {std::pair{Direction::right, GestureAction::copy},
                                            std::pair{Direction::down, GestureAction::missionControl}}) {
        GestureRule rule;
        rule.gesture = GestureDescriptor{Kind::swipe, 3, direction, 1};
        rule.action = action;
        rules.push_back(rule);
    }
    return rules;
}

// The sweep's rules: the ones above, then rules that never match the stream
// (other applications, every kind and finger count, force presses among
// them), up to `count`; below the 54 above, the first `count` of them, the
// four that act first.
std::vector<GestureRule> sweepRules(std::size_t count) {
    using Kind = GestureDescriptor::Kind;
    std::vector<GestureRule> base = fiftyRules();
    std::rotate(base.begin(), base.end() - 4, base.end());
    std::vector<GestureRule> rules(base.begin(), base.begin() + std::ptrdiff_t(std::min(count, base.size())));
    const Kind kinds[] = {Kind::swipe,           Kind::tap,         Kind::forcePress,
                          Kind::pinchIn,         Kind::pinchOut,    Kind::circle,
                          Kind::holdSwipe,       Kind::tapSwipe,    Kind::longPress,
                          Kind::rotateClockwise, Kind::anchorSwipe, Kind::backAndForth};
    const GestureDescriptor::Direction directions[] = {
        GestureDescriptor::Direction::up, GestureDescriptor::Direction::down, GestureDescriptor::Direction::left,
        GestureDescriptor::Direction::right};
    for (std::size_t i = rules.size(); i < count; ++i) {
        GestureRule rule;
        rule.gesture = GestureDescriptor{kinds[i % 12], 1 + int(i / 12) % 5, directions[i % 4], 1 + int(i % 3)};
        rule.action = GestureAction::copy;
        rule.appBundleID = QStringLiteral("com.example.other%1").arg(i % 97);
        if (i % 5 == 0) rule.region = GestureRegion::left;
        rules.push_back(std::move(rule));
    }
    return rules;
}

struct Frame {
    double time;
    std::vector<TouchPoint> points;
};

// Three fingers land, slide 0.25 in one of four directions over 40 frames
// (120 Hz), and lift; every fifth session is one finger sliding up or down the
// right edge instead. Pressure wanders as it does on a real pad.
std::vector<Frame> swipeStream(std::size_t count) {
    std::vector<Frame> stream;
    stream.reserve(count);
    const float dx[] = {1, -1, 0, 0};
    const float dy[] = {0, 0, 1, -1};
    double t = 0;
    for (int session = 0; stream.size() < count; ++session) {
        const int way = session % 4;
        const float x0 = way == 1 ? 0.6f : 0.3f;
        const float y0 = way == 3 ? 0.65f : 0.35f;
        const bool edge = session % 5 == 4;
        for (int step = 0; step <= 40 && stream.size() < count; ++step) {
            const float u = 0.25f * float(step) / 40.0f;
            std::vector<TouchPoint> points;
            if (edge) {
                const float y = session % 2 == 0 ? 0.3f + u : 0.7f - u;
                points.push_back(TouchPoint{1, 0.97f, y, 60.0f + 20.0f * std::sin(float(step))});
            }
            for (int finger = 0; finger < (edge ? 0 : 3); ++finger) {
                points.push_back(TouchPoint{finger + 1, x0 + 0.06f * float(finger) + dx[way] * u, y0 + dy[way] * u,
                                            60.0f + 20.0f * std::sin(float(step + finger))});
            }
            stream.push_back(Frame{t, std::move(points)});
            t += 1.0 / 120;
        }
        if (stream.size() < count) stream.push_back(Frame{t, {}});
        t += 0.3;
    }
    return stream;
}

constexpr std::size_t kFrames = 100'000;
constexpr DeviceId kPad = 0x7a00;

struct Road {
    CountingDispatcher dispatcher;
    replay::SimEngine engine{&dispatcher, 1.0};
    sim::SimScheduler& scheduler = engine.scheduler;
    ControlSettings& settings = engine.settings;
    TrackpadController& controller = engine.controller;
    std::vector<Frame> stream = swipeStream(kFrames);
    double base = 0;
    std::uint64_t recognised = 0;

    // Everything that acts: actions, adjustment steps (each shows its level,
    // or that it cannot change, on the HUD) and video scrub steps.
    std::uint64_t acts() const {
        return dispatcher.actions + dynamic_cast<const replay::InertHUD&>(controller.hud()).shown() +
               dynamic_cast<const replay::InertVideoScrubber&>(controller.videoScrubber()).steps();
    }

    explicit Road(std::vector<GestureRule> rules, bool dispatches = true) {
        if (dispatches) dispatcher.target = &engine.actions;
        engine.trust.setTrusted(true);
        QObject::connect(&controller, &TrackpadController::gestureRecognized, &controller,
                         [this](const GestureDescriptor&) { ++recognised; });
        settings.setRules(std::move(rules));
        settings.setLocksPointerDuringEdgeAdjustments(true);
        engine.system.audio.addMainDevice(1, AudioScope::output, 0.5f, false);
        engine.system.audio.setDefaultDevice(AudioScope::output, 1);
        engine.frontmost.setBundleIdentifier(QStringLiteral("com.example.browser"));
        controller.setEnabled(true);
        controller.setListening(true);
        controller.setCurrentApplicationID(engine.frontmost.bundleIdentifier());
        TrackpadController::setShared(&controller);
    }
    ~Road() { TrackpadController::setShared(nullptr); }

    double span() const { return stream.back().time + 1.0; }
};

// What the passes leave: the allocations of the frames that acted on
// nothing, and of those that acted.
struct Tally {
    std::uint64_t quietFrames = 0;
    std::uint64_t quietAllocations = 0;
    std::uint64_t actingFrames = 0;
    std::uint64_t actingAllocations = 0;
    // Only when the passes time each frame: the quiet frames' time in all,
    // and how many took each number of 10 ns (the last counts the longer).
    std::chrono::nanoseconds quietTime{0};
    std::vector<std::uint64_t> quietTimes = std::vector<std::uint64_t>(10'000);

    void countQuietTime(std::chrono::nanoseconds took) {
        quietTime += took;
        ++quietTimes[std::min(std::size_t(took.count() / 10), quietTimes.size() - 1)];
    }
    // The median quiet frame's time, in ns, to 10 ns; robust against the
    // frames a loaded machine preempts.
    double quietMedian() const {
        std::uint64_t seen = 0;
        for (std::size_t i = 0; i < quietTimes.size(); ++i) {
            seen += quietTimes[i];
            if (2 * seen >= quietFrames) return double(i) * 10 + 5;
        }
        return 0;
    }
};

// Runs `frame` on every frame of the stream, shifted to the pass's time,
// with the scheduler brought to the frame's time first, as the event loop
// would: a tap held back fires, and so do the edge pointer lock's timers.
template <bool timed, typename RunFrame>
void pass(Road& road, Tally& tally, RunFrame runFrame) {
    for (const Frame& frame : road.stream) {
        const double t = road.base + frame.time;
        const std::uint64_t actsBefore = road.acts();
        const std::uint64_t before = allocationCount();
        std::chrono::steady_clock::time_point start;
        if constexpr (timed) start = std::chrono::steady_clock::now();
        road.scheduler.advanceTo(t);
        runFrame(frame, t);
        std::chrono::nanoseconds took{0};
        if constexpr (timed) took = std::chrono::steady_clock::now() - start;
        const std::uint64_t allocations = allocationCount() - before;
        if (road.acts() == actsBefore) {
            ++tally.quietFrames;
            tally.quietAllocations += allocations;
            if constexpr (timed) tally.countQuietTime(took);
        } else {
            ++tally.actingFrames;
            tally.actingAllocations += allocations;
        }
    }
    road.base += road.span();
}

void report(benchmark::State& state, const Tally& tally, const Road& road, std::uint64_t actionsBefore,
            std::uint64_t recognisedBefore) {
    const double passes = double(state.iterations());
    const std::uint64_t actions = road.dispatcher.actions - actionsBefore;
    state.counters["time_per_frame"] = benchmark::Counter(
        double(kFrames), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    const auto per = [](auto amount, std::uint64_t frames) {
        return frames > 0 ? double(amount) / double(frames) : 0.0;
    };
    state.counters["allocs_per_quiet_frame"] = per(tally.quietAllocations, tally.quietFrames);
    state.counters["allocs_per_acting_frame"] = per(tally.actingAllocations, tally.actingFrames);
    state.counters["allocs_per_frame"] =
        per(tally.quietAllocations + tally.actingAllocations, tally.quietFrames + tally.actingFrames);
    if (tally.quietTime.count() > 0) {
        state.counters["time_per_quiet_frame_ns"] = per(tally.quietTime.count(), tally.quietFrames);
        state.counters["time_per_quiet_frame_median_ns"] = tally.quietMedian();
    }
    state.counters["acting_frames"] = double(tally.actingFrames) / passes;
    state.counters["gestures_recognised"] = double(road.recognised - recognisedBefore) / passes;
    state.counters["actions_dispatched"] = double(actions) / passes;
}

// One pass before measuring: the first touch of each finger count and the
// first action of each kind size their storage once.
template <typename RunFrame>
void warmUp(Road& road, Tally& tally, RunFrame runFrame) {
    pass<false>(road, tally, runFrame);
    MainThreadInbox::shared().drain();
    QCoreApplication::sendPostedEvents();
    tally = {};
}

// Through the bridge's handler and the hop to the main thread.
void throughTheHop(Road& road, const Frame& frame, double t) {
    TrackpadController::contactFrameCallbackThunk(reinterpret_cast<void*>(kPad), frame.points.data(),
                                                  std::int32_t(frame.points.size()), road.controller.generation(), t);
    // What the main thread runs for the frame, without the loop's poll and
    // the wake-up's read: the inbox's drain, then what the frame queued.
    MainThreadInbox::shared().drain();
    QCoreApplication::sendPostedEvents();
}

// The same through the event loop, as the program runs: the wake-up
// written and read, the loop's poll, and what the frame queued, which the
// loop runs on its next pass.
void throughTheLoop(Road& road, const Frame& frame, double t) {
    TrackpadController::contactFrameCallbackThunk(reinterpret_cast<void*>(kPad), frame.points.data(),
                                                  std::int32_t(frame.points.size()), road.controller.generation(), t);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

// To the frame handler directly; the actions' tasks go on in the event loop.
void toTheHandler(Road& road, const Frame& frame, double t) {
    road.controller.handleFrame(kPad, frame.points, t);
    QCoreApplication::sendPostedEvents();
}

// --- the reader's side ------------------------------------------------------------
// What a touchpad's reader does with a packet once it is read: the frame
// assembled into the frame it keeps, its touch lists filled into the lists
// it keeps, and each delivered to the bridge's callback, as the multitouch
// driver does, which hands it over to the main thread.

// A touchpad of five slots, 3000 by 2000, pressure 0...255.
evdev::DeviceDescription benchmarkPad() {
    evdev::DeviceDescription pad;
    pad.name = "benchmark pad";
    pad.axes[evdev::kAbsMtSlot] = {0, 4, 0, 0, 0, false};
    pad.axes[evdev::kAbsMtPositionX] = {0, 3000, 0, 0, 30, false};
    pad.axes[evdev::kAbsMtPositionY] = {0, 2000, 0, 0, 30, false};
    pad.axes[evdev::kAbsMtTrackingId] = {0, 65535, 0, 0, 0, false};
    pad.axes[evdev::kAbsMtPressure] = {0, 255, 0, 0, 0, false};
    return pad;
}

// The stream as the pad's packets: a finger's slot is its place in the
// frame, a touch that starts takes new tracking ids.
std::vector<std::vector<evdev::EvdevEvent>> packetsOf(const std::vector<Frame>& stream) {
    std::vector<std::vector<evdev::EvdevEvent>> packets;
    std::size_t down = 0;
    std::int32_t nextTracking = 1;
    for (const Frame& frame : stream) {
        std::vector<evdev::EvdevEvent>& packet = packets.emplace_back();
        const auto add = [&packet, &frame](std::uint16_t type, std::uint16_t code, std::int32_t value) {
            packet.push_back(evdev::EvdevEvent{frame.time, type, code, value});
        };
        const std::size_t count = frame.points.size();
        for (std::size_t slot = 0; slot < std::max(count, down); ++slot) {
            add(evdev::kEvAbs, evdev::kAbsMtSlot, std::int32_t(slot));
            if (slot >= count) {
                add(evdev::kEvAbs, evdev::kAbsMtTrackingId, -1);
                continue;
            }
            if (slot >= down) add(evdev::kEvAbs, evdev::kAbsMtTrackingId, nextTracking++);
            const TouchPoint& point = frame.points[slot];
            add(evdev::kEvAbs, evdev::kAbsMtPositionX, std::int32_t(point.x * 3000));
            add(evdev::kEvAbs, evdev::kAbsMtPositionY, std::int32_t((1 - point.y) * 2000));
            add(evdev::kEvAbs, evdev::kAbsMtPressure, std::int32_t(point.pressure / 100 * 255));
        }
        if ((count > 0) != (down > 0)) add(evdev::kEvKey, evdev::kBtnTouch, count > 0 ? 1 : 0);
        const std::uint16_t tools[] = {evdev::kBtnToolFinger, evdev::kBtnToolDoubletap, evdev::kBtnToolTripletap,
                                       evdev::kBtnToolQuadtap, evdev::kBtnToolQuinttap};
        if (count != down) {
            if (down > 0) add(evdev::kEvKey, tools[down - 1], 0);
            if (count > 0) add(evdev::kEvKey, tools[count - 1], 1);
        }
        add(evdev::kEvSyn, evdev::kSynReport, 0);
        down = count;
    }
    // The stream ends in mid-touch: its last frame lifts the fingers, so
    // that the next pass's first touch is a new one, not fingers swapped
    // under a touch that goes on.
    std::vector<evdev::EvdevEvent>& last = packets.back();
    const double end = last.back().time;
    last.pop_back();
    for (std::size_t slot = 0; slot < down; ++slot) {
        last.push_back({end, evdev::kEvAbs, evdev::kAbsMtSlot, std::int32_t(slot)});
        last.push_back({end, evdev::kEvAbs, evdev::kAbsMtTrackingId, -1});
    }
    if (down > 0) last.push_back({end, evdev::kEvKey, evdev::kBtnTouch, 0});
    last.push_back({end, evdev::kEvSyn, evdev::kSynReport, 0});
    return packets;
}

// The driver as the reader would be: it calls the one registered callback.
class DirectFramework final : public MultitouchFramework {
public:
    bool load() override { return true; }
    std::vector<MultitouchDevice> createDeviceList() override { return {device()}; }
    void registerContactFrameCallback(MultitouchDevice, ContactFrameCallback callback) override {
        callback_ = callback;
    }
    int startDevice(MultitouchDevice) override { return 0; }
    void unregisterContactFrameCallback(MultitouchDevice, ContactFrameCallback) override { callback_ = nullptr; }
    void stopDevice(MultitouchDevice) override {}
    void releaseDeviceList(const std::vector<MultitouchDevice>&) override {}
    std::optional<SurfaceDimensions> surfaceDimensions(MultitouchDevice) override { return std::nullopt; }

    void deliver(std::span<const DriverTouch> touches, double timestamp) {
        if (callback_ != nullptr) {
            callback_(device(), touches.empty() ? nullptr : touches.data(), std::int32_t(touches.size()), timestamp, 0);
        }
    }

private:
    static MultitouchDevice device() { return reinterpret_cast<MultitouchDevice>(kPad); }
    ContactFrameCallback callback_ = nullptr;
};

struct Reader {
    DirectFramework framework;
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge;
    evdev::FrameAssembler assembler{benchmarkPad(), evdev::FrameAssembler::Options{}};
    evdev::Frame frame;
    evdev::DriverTouchLists lists;
    std::vector<std::vector<evdev::EvdevEvent>> packets;

    Reader(Road& road) : bridge(framework, displays, road.engine.clock), packets(packetsOf(road.stream)) {
        MultitouchBridge::setShared(&bridge);
        bridge.start(&TrackpadController::contactFrameCallbackThunk, road.controller.generation());
    }
    ~Reader() {
        bridge.stop();
        MultitouchBridge::setShared(nullptr);
    }
};

// Warms the road up, then runs `runFrame` on every frame of each pass.
template <bool timed = false>
void measure(benchmark::State& state, void (*runFrame)(Road&, const Frame&, double),
             std::vector<GestureRule> rules = fiftyRules(), bool dispatches = true) {
    Road road(std::move(rules), dispatches);
    Tally tally;
    const auto run = [&road, runFrame](const Frame& frame, double t) { runFrame(road, frame, t); };
    warmUp(road, tally, run);
    const std::uint64_t actionsBefore = road.dispatcher.actions;
    const std::uint64_t recognisedBefore = road.recognised;
    for (auto _ : state) pass<timed>(road, tally, run);
    report(state, tally, road, actionsBefore, recognisedBefore);
}

// The bridge's handler, the hop and the frame handler, frame by frame.
void BM_FramePathWholeRoad(benchmark::State& state) { measure(state, throughTheHop); }
BENCHMARK(BM_FramePathWholeRoad)->Unit(benchmark::kMillisecond);

// The whole road with the event loop's part in it.
void BM_FramePathThroughTheLoop(benchmark::State& state) { measure(state, throughTheLoop); }
BENCHMARK(BM_FramePathThroughTheLoop)->Unit(benchmark::kMillisecond);

// The frame handler alone, for comparison with the whole road.
void BM_FrameHandlerOnly(benchmark::State& state) { measure(state, toTheHandler); }
BENCHMARK(BM_FrameHandlerOnly)->Unit(benchmark::kMillisecond);

// The whole road with actions counted but not run: the engine's own cost.
void BM_FramePathWholeRoadWithoutDispatch(benchmark::State& state) {
    measure(state, throughTheHop, fiftyRules(), false);
}
BENCHMARK(BM_FramePathWholeRoadWithoutDispatch)->Unit(benchmark::kMillisecond);

// The reader's side from the pad's events on, then the hop and the handler.
void BM_FramePathFromTheEvents(benchmark::State& state) {
    Road road(fiftyRules());
    Reader reader(road);
    Tally tally;
    const Frame* first = road.stream.data();
    const auto run = [&road, &reader, first](const Frame& frame, double t) {
        const double shift = t - frame.time;
        for (evdev::EvdevEvent event : reader.packets[std::size_t(&frame - first)]) {
            event.time += shift;
            if (!reader.assembler.feed(event, reader.frame)) continue;
            for (const auto touches : reader.lists.fill(reader.frame)) reader.framework.deliver(touches, t);
        }
        MainThreadInbox::shared().drain();
        QCoreApplication::sendPostedEvents();
    };
    warmUp(road, tally, run);
    const std::uint64_t actionsBefore = road.dispatcher.actions;
    const std::uint64_t recognisedBefore = road.recognised;
    for (auto _ : state) pass<false>(road, tally, run);
    report(state, tally, road, actionsBefore, recognisedBefore);
}
BENCHMARK(BM_FramePathFromTheEvents)->Unit(benchmark::kMillisecond);

// The whole road and the handler alone over 10 to 10,000 rules, each frame
// timed: a quiet frame should cost the same whatever the number of rules.
void rulesSweep(benchmark::internal::Benchmark* family) {
    family->ArgName("rules")->Arg(10)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
}

void BM_FramePathRulesSweep(benchmark::State& state) {
    measure<true>(state, throughTheHop, sweepRules(std::size_t(state.range(0))));
}
BENCHMARK(BM_FramePathRulesSweep)->Apply(rulesSweep);

void BM_FrameHandlerRulesSweep(benchmark::State& state) {
    measure<true>(state, toTheHandler, sweepRules(std::size_t(state.range(0))));
}
BENCHMARK(BM_FrameHandlerRulesSweep)->Apply(rulesSweep);

}  // namespace
}  // namespace glidra

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
