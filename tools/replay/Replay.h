#pragma once

#include "actions/GestureAction.h"
#include "gestures/ForcePressLevel.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRecognitionLevel.h"
#include "notices/HUDNotice.h"
#include "platform/evdev/EvemuReader.h"
#include "platform/evdev/Recording.h"
#include "settings/ConfigurationArchive.h"

#include <QStringList>
#include <QTextStream>

#include <functional>
#include <optional>
#include <vector>

namespace glidra::replay {

// One gesture as it reached the controller's gesture handler.
struct ReplayedGesture {
    double time = 0;  // seconds since the recording's first event
    GestureDescriptor gesture;

    friend bool operator==(const ReplayedGesture&, const ReplayedGesture&) = default;
};

// One bound action as the dispatcher carried it out.
struct ReplayedAction {
    double time = 0;  // when the dispatcher returned
    GestureAction action = GestureAction::none;
    HUDNotice notice;

    friend bool operator==(const ReplayedAction&, const ReplayedAction&) = default;
};

struct ReplayOptions {
    // The rules, bindings and options to replay with; the defaults when absent.
    std::optional<ConfigurationArchive> configuration;
    // Override the configuration's levels when set.
    std::optional<GestureRecognitionLevel> level;
    std::optional<ForcePressLevel> forceLevel;
    // Practice mode off: the dispatcher runs the bound actions, on the
    // simulated system.
    bool runActions = false;
};

struct ReplayResult {
    std::vector<ReplayedGesture> gestures;
    std::vector<ReplayedAction> actions;
};

// Plays a recording through the frame assembler, the multitouch bridge and
// the real trackpad controller on the sim platform, with control on, on a
// manual clock: the result never depends on the machine's speed. In practice
// mode unless the options ask to run the actions.
ReplayResult replay(const evdev::Recording& recording, const ReplayOptions& options);
// Hands on what a replay has produced so far, after each frame: `pending`
// holds the gestures and actions not yet taken out of it, and none still to
// come is earlier than `settled` (seconds since the first event).
using ReplayProgress = std::function<void(ReplayResult& pending, double settled)>;

// The same, reading one event at a time; with `progress` taking the results
// out as they come, a recording of any length replays in the same memory.
// Stops early when the stream fails (then !stream.ok()). Returns what
// `progress` left.
ReplayResult replay(evdev::EvemuStream& stream, const ReplayOptions& options, const ReplayProgress& progress = {});

// The command line:
// `glidra-replay [--level L] [--force-level F] [--config ARCHIVE.json] [--run] RECORDING`,
// or --help, or --version.
// Writes one JSON object per gesture, and per action with --run, to `out`,
// problems to `err`; returns the exit status (0, or 2 for bad usage or input).
int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace glidra::replay
