// The live road of one contact frame on Linux: a touchpad packet written to
// an event node, read by the hub's reader thread through libevdev, assembled
// into a frame, handed through the multitouch bridge to the controller's
// callback, queued to the main thread and run through the frame handler.
// The node is umockdev's (the benchmark starts itself again with umockdev's
// preload library when it is not loaded), so the kernel's own part is a
// pseudo-terminal's rather than evdev's.
//
// The time per iteration is the mock's as much as ours, with a busy wait.
// Our part is reported apart, as percentiles over the frames: from the
// reader's read returning the frame's SYN_REPORT to the end of the frame
// handler on the main thread. So are the heap allocations of every thread
// but the mock's writing, from the write to the end of the frame handler,
// per frame once the first frames have grown the storage.
//
// The raised variants first raise the reader thread and the main thread as
// RealtimeKit would grant it (the program's own request, carried out here
// by the benchmark itself, which needs CAP_SYS_NICE or an RLIMIT_RTPRIO for
// realtime): realtime round-robin at the requested priorities, or the
// fallback nice level.

#include "AllocationCounting.h"
#include "bridge/MultitouchBridge.h"
#include "platform/linux/EvdevInputHub.h"
#include "platform/linux/EvdevMultitouchFramework.h"
#include "platform/linux/EvdevNode.h"
#include "platform/linux/InputThreadPriority.h"
#include "platform/linux/RealtimeKitThreadPriority.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "replay/SimEngine.h"
#include "support/UmockdevInput.h"

#include <benchmark/benchmark.h>
#include <QCoreApplication>

#include <linux/input-event-codes.h>
#include <umockdev.h>

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

namespace glidra {
namespace {

// Three fingers resting and sliding to and fro: one packet per frame.
std::vector<evdev::EvdevEvent> packet(std::int64_t frame) {
    const double t = double(frame) / 120.0;
    const std::int32_t offset = std::int32_t((frame % 200) < 100 ? frame % 100 : 100 - frame % 100) * 8;
    std::vector<evdev::EvdevEvent> events;
    for (std::int32_t slot = 0; slot < 3; ++slot) {
        events.push_back({t, EV_ABS, ABS_MT_SLOT, slot});
        if (frame == 0) events.push_back({t, EV_ABS, ABS_MT_TRACKING_ID, 100 + slot});
        events.push_back({t, EV_ABS, ABS_MT_POSITION_X, 900 + 300 * slot + offset});
        events.push_back({t, EV_ABS, ABS_MT_POSITION_Y, 800 + offset / 2});
        events.push_back({t, EV_ABS, ABS_MT_PRESSURE, 40 + slot});
    }
    if (frame == 0) {
        events.push_back({t, EV_KEY, BTN_TOUCH, 1});
        events.push_back({t, EV_KEY, BTN_TOOL_TRIPLETAP, 1});
    }
    events.push_back({t, EV_ABS, ABS_X, 900 + offset});
    events.push_back({t, EV_ABS, ABS_Y, 800 + offset / 2});
    events.push_back({t, EV_SYN, SYN_REPORT, 0});
    return events;
}

// Does what RealtimeKit does on a grant, with no limit on the run time: the
// benchmark's main thread waits for each frame in a busy loop.
class DirectThreadPriority final : public ThreadPriority {
public:
    explicit DirectThreadPriority(bool realtime) : realtime_(realtime) {}

    QCoro::Task<Grant> raise(std::int64_t thread, Request request) override {
        Grant grant;
        const sched_param rt{request.realtimePriority};
        if (realtime_ && sched_setscheduler(pid_t(thread), SCHED_RR | SCHED_RESET_ON_FORK, &rt) == 0) {
            grant = {Grant::Kind::realtime, request.realtimePriority, {}};
        } else if (setpriority(PRIO_PROCESS, id_t(thread), request.niceLevel) == 0) {
            grant = {Grant::Kind::highPriority, request.niceLevel,
                     realtime_ ? QString::fromLatin1(std::strerror(errno)) : QStringLiteral("not asked")};
        } else {
            grant.reason = QString::fromLatin1(std::strerror(errno));
        }
        co_return grant;
    }

private:
    bool realtime_;
};

enum class Raised { no, niceLevel, realtime };

// How the main thread waits for the frame: spinning, or asleep in the event
// loop until the inbox wakes it, as in the program.
enum class Wait { busy, woken };

void liveRoadOneFrame(benchmark::State& state, Raised raised, Wait wait) {
    test::UmockdevInput devices;
    const QByteArray node = devices.addDevice(test::UmockdevInput::touchpad("Benchmark Touchpad", 5),
                                              {QStringLiteral("ID_INPUT=1"), QStringLiteral("ID_INPUT_TOUCHPAD=1")});
    linux_platform::EvdevInputHub hub;
    linux_platform::EvdevMultitouchFramework framework(hub);
    replay::SimEngine engine(nullptr, 1.0);
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge(framework, displays, engine.clock);
    MultitouchBridge::setShared(&bridge);
    TrackpadController::setShared(&engine.controller);
    engine.controller.toggleEnabled();
    if (node.isEmpty() || !engine.controller.isListening()) {
        state.SkipWithError("the mocked touchpad could not be opened");
        return;
    }

    if (raised != Raised::no) {
        DirectThreadPriority priority(raised == Raised::realtime);
        auto raising = linux_platform::raiseInputThreads(priority, hub.readerThread(),
                                                         linux_platform::RealtimeKitThreadPriority::currentThread());
        Q_UNUSED(raising);
        const bool realtime = (sched_getscheduler(0) & ~SCHED_RESET_ON_FORK) == SCHED_RR;
        if (raised == Raised::realtime ? !realtime : getpriority(PRIO_PROCESS, 0) >= 0) {
            state.SkipWithError("this process may not raise its threads so");
        }
    }

    // Frames that size the storage first: the reader's, the inbox's, the
    // recognizers'.
    constexpr std::int64_t kWarmUp = 200;
    std::int64_t frame = 0;
    std::uint64_t allocations = 0;
    std::vector<double> ours;  // microseconds
    ours.reserve(1 << 16);
    for (auto _ : state) {
        const std::uint64_t before = bridge.frameCount();
        const std::uint64_t allocationsBefore = benchmarks::allocationCount();
        {
            const benchmarks::UncountedHere mocked;
            devices.write(node, packet(frame++));
        }
        // The reader hands the frame over...
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
        while (bridge.frameCount() == before) {
            if (std::chrono::steady_clock::now() > deadline) {
                state.SkipWithError("the reader lost the stream");
                break;
            }
            // (the only other wake-ups are the hub's heartbeat's)
            if (wait == Wait::woken) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        // ...and the main thread, woken, runs it through the frame handler.
        QCoreApplication::processEvents();
        const auto handled = std::chrono::steady_clock::now();
        if (frame > kWarmUp) allocations += benchmarks::allocationCount() - allocationsBefore;
        ours.push_back(
            std::chrono::duration<double, std::micro>(handled - linux_platform::EvdevNode::lastReportReadAt()).count());
    }
    state.counters["frames"] = double(frame);
    if (frame > kWarmUp) state.counters["allocs_per_frame"] = double(allocations) / double(frame - kWarmUp);
    if (!ours.empty()) {
        const auto percentile = [&ours](double p) {
            const auto at = ours.begin() + std::ptrdiff_t(p * double(ours.size() - 1));
            std::nth_element(ours.begin(), at, ours.end());
            return *at;
        };
        state.counters["ours_p50_us"] = percentile(0.50);
        state.counters["ours_p99_us"] = percentile(0.99);
    }

    engine.controller.toggleEnabled();
    TrackpadController::setShared(nullptr);
    MultitouchBridge::setShared(nullptr);
    const sched_param normal{};
    sched_setscheduler(0, SCHED_OTHER, &normal);
    setpriority(PRIO_PROCESS, 0, 0);
}

void BM_LiveRoadOneFrame(benchmark::State& state) { liveRoadOneFrame(state, Raised::no, Wait::busy); }
void BM_LiveRoadOneFrameRaisedNice(benchmark::State& state) { liveRoadOneFrame(state, Raised::niceLevel, Wait::busy); }
void BM_LiveRoadOneFrameRaisedRealtime(benchmark::State& state) {
    liveRoadOneFrame(state, Raised::realtime, Wait::busy);
}
void BM_LiveRoadOneFrameWoken(benchmark::State& state) { liveRoadOneFrame(state, Raised::no, Wait::woken); }
void BM_LiveRoadOneFrameWokenRaisedNice(benchmark::State& state) {
    liveRoadOneFrame(state, Raised::niceLevel, Wait::woken);
}
void BM_LiveRoadOneFrameWokenRaisedRealtime(benchmark::State& state) {
    liveRoadOneFrame(state, Raised::realtime, Wait::woken);
}
BENCHMARK(BM_LiveRoadOneFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveRoadOneFrameRaisedNice)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveRoadOneFrameRaisedRealtime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LiveRoadOneFrameWoken)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LiveRoadOneFrameWokenRaisedNice)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_LiveRoadOneFrameWokenRaisedRealtime)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace glidra

int main(int argc, char** argv) {
    // umockdev's library must be loaded when the process starts.
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload == nullptr || std::strstr(preload, "umockdev") == nullptr) {
        setenv("LD_PRELOAD", "libumockdev-preload.so.0", 1);
        execv("/proc/self/exe", argv);
        return 1;
    }
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
