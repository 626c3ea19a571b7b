// The whole road of a contact frame: the bridge's handler (copy and queue),
// the hop to the main thread, and the frame handler with both recognizers,
// the edge router, the video, tab and continuous trackers and 54 enabled
// rules, for a realistic stream of three-finger swipes and one-finger slides
// along the right edge, which adjust the volume with the pointer held. The
// swipes that no tracker takes run their discrete actions through the real
// dispatcher on the simulated system.
//
// Reports the time per frame, the gestures recognised and the actions
// dispatched per pass, and the heap allocations: per frame over the frames
// that acted on nothing (the steady state, which should be 0), and per
// acting frame, which dispatched an action or took a step of a volume
// adjustment or a video scrub: its executors may allocate as they please.
// Each frame's count includes the work it queued on the main thread, so an
// action's task going on there counts with the frame that started it.

#include "common/MainThreadInbox.h"
#include "replay/SimEngine.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

// --- counting allocator ----------------------------------------------------------
// Every heap allocation of the process goes through these, so the count covers
// Qt's queued call as well as the controller's own work.

namespace {
std::atomic<std::uint64_t> allocationCount{0};

void* allocate(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    const auto align = static_cast<std::size_t>(alignment);
    return std::aligned_alloc(align, (size + align - 1) / align * align);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new(std::size_t size, std::align_val_t alignment) {
    if (void* p = allocateAligned(size, alignment)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    if (void* p = allocateAligned(size, alignment)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace glidra {
namespace {

// --- the dispatcher, counted ----------------------------------------------------------
// Passes every action on to the engine's own dispatcher, which the engine
// takes at construction, so it is attached afterwards.

class CountingDispatcher final : public ActionDispatchService {
public:
    std::uint64_t actions = 0;
    ActionDispatchService* target = nullptr;
    QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken token) override {
        ++actions;
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

    Road() {
        dispatcher.target = &engine.actions;
        engine.trust.setTrusted(true);
        QObject::connect(&controller, &TrackpadController::gestureRecognized, &controller,
                         [this](const GestureDescriptor&) { ++recognised; });
        settings.setRules(fiftyRules());
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
};

// Runs `frame` on every frame of the stream, shifted to the pass's time,
// with the scheduler brought to the frame's time first, as the event loop
// would: a tap held back fires, and so do the edge pointer lock's timers.
template <typename RunFrame>
void pass(Road& road, Tally& tally, RunFrame runFrame) {
    for (const Frame& frame : road.stream) {
        const double t = road.base + frame.time;
        const std::uint64_t actsBefore = road.acts();
        const std::uint64_t before = allocationCount.load(std::memory_order_relaxed);
        road.scheduler.advanceTo(t);
        runFrame(frame, t);
        const std::uint64_t allocations = allocationCount.load(std::memory_order_relaxed) - before;
        if (road.acts() == actsBefore) {
            ++tally.quietFrames;
            tally.quietAllocations += allocations;
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
    state.counters["allocs_per_frame"] =
        tally.quietFrames > 0 ? double(tally.quietAllocations) / double(tally.quietFrames) : 0.0;
    state.counters["allocs_per_acting_frame"] =
        tally.actingFrames > 0 ? double(tally.actingAllocations) / double(tally.actingFrames) : 0.0;
    state.counters["acting_frames"] = double(tally.actingFrames) / passes;
    state.counters["gestures_recognised"] = double(road.recognised - recognisedBefore) / passes;
    state.counters["actions_dispatched"] = double(actions) / passes;
}

// One pass before measuring: the first touch of each finger count and the
// first action of each kind size their storage once.
template <typename RunFrame>
void warmUp(Road& road, Tally& tally, RunFrame runFrame) {
    pass(road, tally, runFrame);
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

// Warms the road up, then runs `runFrame` on every frame of each pass.
void measure(benchmark::State& state, void (*runFrame)(Road&, const Frame&, double)) {
    Road road;
    Tally tally;
    const auto run = [&road, runFrame](const Frame& frame, double t) { runFrame(road, frame, t); };
    warmUp(road, tally, run);
    const std::uint64_t actionsBefore = road.dispatcher.actions;
    const std::uint64_t recognisedBefore = road.recognised;
    for (auto _ : state) pass(road, tally, run);
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
