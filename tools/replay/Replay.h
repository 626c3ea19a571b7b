#pragma once

#include "actions/GestureAction.h"
#include "gestures/ForcePressLevel.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRecognitionLevel.h"
#include "notices/HUDNotice.h"
#include "platform/evdev/FrameAssembler.h"
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

// What a replay reports as it goes, in the order it happens.
struct ReplaySink {
    std::function<void(const ReplayedGesture&)> gesture;
    std::function<void(const ReplayedAction&)> action;
};

// Plays a device's events, from `next` until it gives nothing, through the
// frame assembler, the multitouch bridge and the real trackpad controller on
// the sim platform, with control on, on a manual clock: the result never
// depends on the machine's speed. In practice mode unless the options ask to
// run the actions. Holds no more than the event at hand.
void replay(const evdev::DeviceDescription& device, evdev::FrameAssembler::Options assembly,
            const std::function<std::optional<evdev::EvdevEvent>()>& next, const ReplayOptions& options,
            const ReplaySink& sink);

// A whole recording, its gestures and actions collected.
ReplayResult replay(const evdev::Recording& recording, const ReplayOptions& options);

// The command line:
// `glidra-replay [--level L] [--force-level F] [--config ARCHIVE.json] [--run] RECORDING`.
// Reads the recording as a stream, so a long one replays in constant memory,
// and writes one JSON object per gesture, and per action with --run, to
// `out` as it happens, problems to `err`; returns the exit status (0, or 2
// for bad usage or input).
int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace glidra::replay
