#pragma once

#include "gestures/ForcePressLevel.h"
#include "gestures/GestureDescriptor.h"
#include "gestures/GestureRecognitionLevel.h"
#include "platform/evdev/Recording.h"

#include <QStringList>
#include <QTextStream>

#include <vector>

namespace glidra::replay {

// One gesture as it reached the controller's gesture handler.
struct ReplayedGesture {
    double time = 0;  // seconds since the recording's first event
    GestureDescriptor gesture;

    friend bool operator==(const ReplayedGesture&, const ReplayedGesture&) = default;
};

struct ReplayOptions {
    GestureRecognitionLevel level = GestureRecognitionLevel::standard;
    ForcePressLevel forceLevel = ForcePressLevel::standard;
};

// Plays a recording through the frame assembler, the multitouch bridge and
// the real trackpad controller on the sim platform, with control on and
// practice mode set, on a manual clock: the result never depends on the
// machine's speed.
std::vector<ReplayedGesture> replay(const evdev::Recording& recording, const ReplayOptions& options);

// The command line: `glidra-replay [--level L] [--force-level F] RECORDING`.
// Writes one JSON object per gesture to `out`, problems to `err`; returns the
// exit status (0, or 2 for bad usage or input).
int runCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace glidra::replay
