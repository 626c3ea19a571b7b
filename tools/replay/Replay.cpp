#include "replay/Replay.h"

#include "bridge/MultitouchBridge.h"
#include "common/Json.h"
#include "common/MainThreadInbox.h"
#include "platform/evdev/DriverTouchLists.h"
#include "platform/evdev/EvdevCodes.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/FrameAssembler.h"
#include "platform/sim/SimDisplayBrightness.h"
#include "platform/sim/SimMultitouchFramework.h"
#include "replay/SimEngine.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>

namespace glidra::replay {

namespace {

// How long the clock runs on after the last frame, so a tap held back for a
// further tap still reaches the handler.
constexpr double kTrailingTime = 2.0;

std::optional<InputEvent::Type> buttonEventType(const evdev::Frame::ButtonChange& change) {
    using Button = evdev::Frame::Button;
    switch (change.button) {
        case Button::left:
            return change.pressed ? InputEvent::Type::leftMouseDown : InputEvent::Type::leftMouseUp;
        case Button::right:
            return change.pressed ? InputEvent::Type::rightMouseDown : InputEvent::Type::rightMouseUp;
        case Button::middle:
            // Only the press of another button is watched.
            if (change.pressed) return InputEvent::Type::otherMouseDown;
            return std::nullopt;
    }
    return std::nullopt;
}

// Counts what reaches the main thread's objects, so that draining can tell a
// round that ran work from one that found the queue empty.
class Deliveries final : public QObject {
public:
    Deliveries() { QCoreApplication::instance()->installEventFilter(this); }
    ~Deliveries() override { QCoreApplication::instance()->removeEventFilter(this); }
    Deliveries(const Deliveries&) = delete;
    Deliveries& operator=(const Deliveries&) = delete;

    bool eventFilter(QObject*, QEvent*) override {
        ++count;
        return false;
    }

    std::uint64_t count = 0;
};

// A frame hops to the main thread once, through the inbox; its handling may
// queue more work (a cancelled tap resuming, an action task), so run what the
// inbox and Qt's queue hold until a round finds both empty. The inbox's
// wake-up is never waited for, and nothing in a replay waits on another
// descriptor or a real timer, so there is nothing to poll.
void drain(Deliveries& deliveries) {
    for (;;) {
        deliveries.count = 0;
        const std::size_t taken = MainThreadInbox::shared().drain();
        QCoreApplication::sendPostedEvents();
        if (taken == 0 && deliveries.count == 0) return;
    }
}

// Lets the clock reach `t` one deadline at a time, running what each timer
// queued before the next fires, as the event loop would. `queued`: there may
// be work queued that no drain has run yet (else a replay drains after all it
// does, and a clock that moves without a timer due queues nothing).
void advance(sim::SimScheduler& scheduler, Deliveries& deliveries, double t, bool& queued) {
    for (auto next = scheduler.nextDeadline(); next && *next <= t; next = scheduler.nextDeadline()) {
        scheduler.advanceTo(*next);
        drain(deliveries);
        queued = false;
    }
    scheduler.advanceTo(t);
    if (queued) drain(deliveries);
    queued = false;
}

double milliseconds(double seconds) { return std::round(seconds * 1000.0) / 1000.0; }

// Passes every action on to the engine's own dispatcher and notes what it
// said. The engine takes it at construction, so it is attached afterwards.
class RecordingDispatcher final : public ActionDispatchService {
public:
    explicit RecordingDispatcher(std::vector<ReplayedAction>& actions) : actions_(actions) {}
    void attach(ActionDispatchService& target, const Clock& clock) {
        target_ = &target;
        clock_ = &clock;
    }

    QCoro::Task<HUDNotice> performGestureAction(GestureBinding binding, CancellationToken token) override {
        const HUDNotice notice = co_await target_->performGestureAction(binding, std::move(token));
        actions_.push_back({milliseconds(clock_->uptime()), binding.action, notice});
        co_return notice;
    }

private:
    std::vector<ReplayedAction>& actions_;
    ActionDispatchService* target_ = nullptr;
    const Clock* clock_ = nullptr;
};

// `next` gives the recording's events one at a time, nothing after the last.
template <typename NextEvent>
ReplayResult replayEvents(const evdev::DeviceDescription& pad, evdev::FrameAssembler::Options assemblerOptions,
                          NextEvent next, const ReplayOptions& options, const ReplayProgress& progress) {
    ReplayResult result;
    Deliveries deliveries;
    RecordingDispatcher dispatcher(result.actions);
    SimEngine engine(&dispatcher);
    dispatcher.attach(engine.actions, engine.clock);
    sim::ManualClock& clock = engine.clock;
    sim::SimScheduler& scheduler = engine.scheduler;
    TrackpadController& controller = engine.controller;
    // The settings live in memory, so applying never fails to save.
    if (options.configuration) Q_UNUSED(engine.settings.apply(*options.configuration));
    if (options.level) engine.settings.setRecognitionLevel(*options.level);
    if (options.forceLevel) engine.settings.setForcePressLevel(*options.forceLevel);
    // The simulated system trusts the program with its input.
    engine.trust.setTrusted(true);

    sim::SimMultitouchFramework framework;
    const MultitouchDevice device = framework.addDevice();
    framework.setSurfaceDimensions(device, pad.surfaceDimensions());
    sim::SimDisplayBrightness displays;
    MultitouchBridge bridge(framework, displays, clock);
    MultitouchBridge* previousBridge = MultitouchBridge::shared();
    MultitouchBridge::setShared(&bridge);
    TrackpadController* previousController = TrackpadController::shared();
    TrackpadController::setShared(&controller);

    std::vector<ReplayedGesture>& gestures = result.gestures;
    QObject::connect(&controller, &TrackpadController::gestureRecognized, &controller,
                     [&gestures, &clock](const GestureDescriptor& gesture) {
                         gestures.push_back({milliseconds(clock.uptime()), gesture});
                     });

    controller.toggleEnabled();
    controller.setPracticeMode(!options.runActions);

    evdev::FrameAssembler assembler(pad, assemblerOptions);
    // Kept from frame to frame, so that their storage is reused.
    evdev::Frame frame;
    evdev::DriverTouchLists lists;
    // What switching control on queued.
    bool queued = true;
    double lastTime = 0;
    while (const std::optional<evdev::EvdevEvent> event = next()) {
        if (!assembler.feed(*event, frame)) continue;
        advance(scheduler, deliveries, frame.time, queued);
        for (const auto touches : lists.fill(frame)) {
            framework.deliver(device, touches, frame.time);
            drain(deliveries);
        }
        for (const auto& change : frame.buttonChanges) {
            if (const auto type = buttonEventType(change)) {
                engine.mouseButtons.click(sim::SimMouseButtonMonitor::userButton(*type, true));
                drain(deliveries);
            }
        }
        lastTime = frame.time;
        if (progress) progress(result, milliseconds(clock.uptime()));
    }
    advance(scheduler, deliveries, lastTime + kTrailingTime, queued);

    controller.toggleEnabled();
    drain(deliveries);
    TrackpadController::setShared(previousController);
    MultitouchBridge::setShared(previousBridge);
    return result;
}

}  // namespace

ReplayResult replay(const evdev::Recording& recording, const ReplayOptions& options) {
    auto event = recording.events.begin();
    const auto next = [&]() -> std::optional<evdev::EvdevEvent> {
        if (event == recording.events.end()) return std::nullopt;
        return *event++;
    };
    return replayEvents(recording.device, evdev::FrameAssembler::optionsFor(recording), next, options, {});
}

ReplayResult replay(evdev::EvemuStream& stream, const ReplayOptions& options, const ReplayProgress& progress) {
    return replayEvents(
        stream.device(), evdev::FrameAssembler::optionsFor(stream.reportsTouchKey()),
        [&stream] { return stream.next(); }, options, progress);
}

namespace {

constexpr int kBadInput = 2;

const char* const kUsage =
    "usage: glidra-replay [--level relaxed|standard|deliberate] [--force-level light|standard|firm]\n"
    "                     [--config ARCHIVE.json] [--run] RECORDING";

const char* const kHelp =
    "\n"
    "Plays a touchpad recording made with evemu-record through Glidra's recognition\n"
    "engine, in practice mode, and prints one JSON line per recognised gesture.\n"
    "\n"
    "  --level LEVEL          recognition level: relaxed, standard or deliberate\n"
    "  --force-level LEVEL    force press level: light, standard or firm\n"
    "  --config ARCHIVE.json  the rules, bindings and options of a configuration\n"
    "                         exported from Glidra's settings (its levels hold\n"
    "                         unless --level or --force-level say otherwise)\n"
    "  --run                  practice mode off: run each bound action on a\n"
    "                         simulated system and print what it did\n"
    "  -h, --help             show this help and exit\n"
    "  -v, --version          show the version and exit\n"
    "\n"
    "Bad usage or a recording or configuration that cannot be read ends with\n"
    "status 2. Examples with bundled recordings: /usr/share/glidra/recordings.\n";

template <typename E>
std::optional<E> optionValue(const QStringList& arguments, qsizetype& i) {
    if (i + 1 >= arguments.size()) return std::nullopt;
    return enumFromRaw<E>(arguments.at(++i));
}

// The kernel's names of the axes a touchpad recording uses.
QString axisName(std::uint16_t code) {
    static const std::map<std::uint16_t, const char*> names = {
        {evdev::kAbsX, "ABS_X"},
        {evdev::kAbsY, "ABS_Y"},
        {evdev::kAbsPressure, "ABS_PRESSURE"},
        {evdev::kAbsToolWidth, "ABS_TOOL_WIDTH"},
        {evdev::kAbsMtSlot, "ABS_MT_SLOT"},
        {evdev::kAbsMtTouchMajor, "ABS_MT_TOUCH_MAJOR"},
        {evdev::kAbsMtPositionX, "ABS_MT_POSITION_X"},
        {evdev::kAbsMtPositionY, "ABS_MT_POSITION_Y"},
        {evdev::kAbsMtTrackingId, "ABS_MT_TRACKING_ID"},
        {evdev::kAbsMtPressure, "ABS_MT_PRESSURE"},
        {evdev::kAbsMtDistance, "ABS_MT_DISTANCE"},
    };
    if (const auto it = names.find(code); it != names.end()) return QString::fromLatin1(it->second);
    return QStringLiteral("axis 0x%1").arg(code, 2, 16, QLatin1Char('0'));
}

// Names the axes whose ranges the reader took from the recorded values.
QString derivedAxesWarning(const evdev::EvemuStream& stream, const QString& path) {
    QStringList derived;
    for (const auto& [code, range] : stream.device().axes) {
        if (range.derivedFromData) derived.append(axisName(code));
    }
    const QString axes = derived.join(u", ");
    if (stream.hasDeviceHeader()) {
        return QStringLiteral("%1: the device header does not describe %2; %3 taken from the recorded values\n")
            .arg(path, axes, derived.size() == 1 ? QStringLiteral("its range is") : QStringLiteral("their ranges are"));
    }
    return QStringLiteral("%1 has no device header; %2 taken from the recorded values\n")
        .arg(path, derived.size() == 1 ? QStringLiteral("the range of %1 is").arg(axes)
                                       : QStringLiteral("the ranges of %1 are").arg(axes));
}

// Why an archive was refused, for the command line.
const char* archiveProblem(ConfigurationArchiveError error) {
    switch (error) {
        case ConfigurationArchiveError::invalidFile:
            return "not a Glidra configuration";
        case ConfigurationArchiveError::unsupportedVersion:
            return "a schema version this program does not read";
        case ConfigurationArchiveError::invalidValues:
            return "sensitivity or edge width out of range";
        case ConfigurationArchiveError::invalidGestures:
            return "invalid gesture rules (duplicates, finger counts or regions)";
        case ConfigurationArchiveError::invalidEdges:
            return "invalid edge bindings";
        case ConfigurationArchiveError::tooLarge:
            return "larger than 10 MB";
        case ConfigurationArchiveError::noBackup:
        case ConfigurationArchiveError::notSaved:
            break;
    }
    return "unreadable";
}

// The archive at `path`; nothing, with the reason written to `err`, when it
// cannot be read or is no valid configuration.
std::optional<ConfigurationArchive> loadConfiguration(const QString& path, QTextStream& err) {
    // A pipe or a device would be read for ever.
    if (!QFileInfo(path).isFile()) {
        err << "glidra-replay: " << path << ": no such configuration file\n";
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        err << "glidra-replay: " << path << ": cannot be read: " << file.errorString() << '\n';
        return std::nullopt;
    }
    auto decoded = ConfigurationArchive::decode(file);
    if (!decoded) {
        err << "glidra-replay: " << path << ": " << archiveProblem(decoded.error()) << '\n';
        return std::nullopt;
    }
    return std::move(decoded.value());
}

QJsonObject gestureLine(const ReplayedGesture& replayed) {
    QJsonObject gesture = replayed.gesture.toJson().toObject();
    // The other kinds carry a direction only because the descriptor always
    // has one; printed, it would read as if it had been measured.
    if (!usesDirection(replayed.gesture.kind)) gesture.remove(QStringLiteral("direction"));
    return QJsonObject{{QStringLiteral("t"), replayed.time}, {QStringLiteral("gesture"), gesture}};
}

QJsonObject actionLine(const ReplayedAction& replayed) {
    return QJsonObject{{QStringLiteral("t"), replayed.time},
                       {QStringLiteral("action"), enumRaw(replayed.action)},
                       {QStringLiteral("notice"), replayed.notice.text}};
}

}  // namespace

int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    ReplayOptions options;
    QString path;
    std::optional<QString> configurationPath;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            out << kUsage << '\n' << kHelp;
            return 0;
        }
        if (argument == QLatin1String("--version") || argument == QLatin1String("-v")) {
            out << "glidra-replay " << GLIDRA_VERSION << '\n';
            return 0;
        }
        if (argument == QLatin1String("--level")) {
            const auto level = optionValue<GestureRecognitionLevel>(arguments, i);
            if (!level) {
                err << "glidra-replay: --level takes relaxed, standard or deliberate\n" << kUsage << '\n';
                return kBadInput;
            }
            options.level = *level;
        } else if (argument == QLatin1String("--force-level")) {
            const auto level = optionValue<ForcePressLevel>(arguments, i);
            if (!level) {
                err << "glidra-replay: --force-level takes light, standard or firm\n" << kUsage << '\n';
                return kBadInput;
            }
            options.forceLevel = *level;
        } else if (argument == QLatin1String("--config")) {
            if (i + 1 >= arguments.size()) {
                err << "glidra-replay: --config takes the path of an exported configuration\n" << kUsage << '\n';
                return kBadInput;
            }
            configurationPath = arguments.at(++i);
        } else if (argument == QLatin1String("--run")) {
            options.runActions = true;
        } else if (argument.startsWith(QLatin1String("--")) || !path.isEmpty()) {
            err << "glidra-replay: unexpected argument " << argument << '\n' << kUsage << '\n';
            return kBadInput;
        } else {
            path = argument;
        }
    }
    if (path.isEmpty()) {
        err << kUsage << '\n';
        return kBadInput;
    }
    if (configurationPath) {
        options.configuration = loadConfiguration(*configurationPath, err);
        if (!options.configuration) return kBadInput;
    }

    evdev::EvemuReader::Options readOptions;
    readOptions.requireMultitouch = true;
    evdev::EvemuStream stream = evdev::EvemuStream::open(QFile::encodeName(path).toStdString(), readOptions);
    const auto refuse = [&] {
        err << "glidra-replay: " << path << ": " << QString::fromStdString(stream.error().describe()) << '\n';
        return kBadInput;
    };
    if (!stream.ok()) return refuse();
    for (const auto& warning : stream.warnings()) {
        err << "glidra-replay: warning: " << path << ": " << QString::fromStdString(warning.describe()) << '\n';
    }
    if (stream.device().hasDerivedAxes()) err << "glidra-replay: warning: " << derivedAxesWarning(stream, path);

    // In time order; a gesture before the action it started. An action
    // waits until no gesture can come before it.
    const auto print = [&out](const QJsonObject& line) {
        out << QJsonDocument(line).toJson(QJsonDocument::Compact) << '\n';
    };
    const auto printSettled = [&print](ReplayResult& pending, double settled) {
        auto action = pending.actions.begin();
        for (const auto& gesture : pending.gestures) {
            for (; action != pending.actions.end() && action->time < gesture.time; ++action) {
                print(actionLine(*action));
            }
            print(gestureLine(gesture));
        }
        for (; action != pending.actions.end() && action->time < settled; ++action) print(actionLine(*action));
        pending.gestures.clear();
        pending.actions.erase(pending.actions.begin(), action);
    };
    ReplayResult rest = replay(stream, options, printSettled);
    printSettled(rest, std::numeric_limits<double>::infinity());
    if (!stream.ok()) return refuse();
    out.flush();
    return 0;
}

}  // namespace glidra::replay
