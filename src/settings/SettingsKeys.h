#pragma once

#include "gestures/ForcePressLevel.h"
#include "gestures/GestureRecognitionLevel.h"
#include "notices/HUDPosition.h"

#include <QLatin1StringView>
#include <QString>

#include <array>

namespace glidra {

// The user-defaults keys of the settings, with the values a key falls back to
// when it is absent or unusable. These names are on users' disks: never
// rename one.
namespace settings_key {

inline constexpr QLatin1StringView recognitionLevel{"recognitionLevel"};
inline constexpr QLatin1StringView disabledApplications{"disabledApplications"};  // data: JSON array
inline constexpr QLatin1StringView typingProtectionEnabled{"typingProtectionEnabled"};
inline constexpr QLatin1StringView operationHintPosition{"operationHintPosition"};
inline constexpr QLatin1StringView showOperationHints{"showOperationHints"};
inline constexpr QLatin1StringView configurationBeforeImport{"configurationBeforeImport"};  // data: an archive
inline constexpr QLatin1StringView forcePressLevel{"forcePressLevel"};
inline constexpr QLatin1StringView edgeConfigurations{"edgeConfigurations"};  // data: JSON object by edge name
inline constexpr QLatin1StringView rules{"freeformRules"};                    // data: JSON array
inline constexpr QLatin1StringView bindings{"gestureBindings"};               // data: JSON array
inline constexpr QLatin1StringView sensitivity{"sensitivity"};
inline constexpr QLatin1StringView edgeWidth{"edgeWidth"};
inline constexpr QLatin1StringView locksPointerDuringEdgeAdjustments{"locksPointerDuringEdgeAdjustments"};
inline constexpr QLatin1StringView restoreEnabled{"restoreEnabled"};

// Written by earlier versions; removed at every load, never written.
inline constexpr std::array<QLatin1StringView, 2> legacy{QLatin1StringView("gesturePresetUndo"),
                                                         QLatin1StringView("starterGestureUndo")};

// Where a stored value of `key` that could not be loaded is set aside before
// the first write can replace it, so that a rule list of a newer version or a
// hand edit gone wrong is not lost. Never read back by the program and never
// exported.
inline QString unreadableCopy(QLatin1StringView key) { return QString(key) + QLatin1StringView("Unreadable"); }

}  // namespace settings_key

namespace settings_default {

inline constexpr GestureRecognitionLevel recognitionLevel = GestureRecognitionLevel::standard;
inline constexpr ForcePressLevel forcePressLevel = ForcePressLevel::standard;
inline constexpr HUDPosition operationHintPosition = HUDPosition::bottom;
inline constexpr bool typingProtectionEnabled = true;
inline constexpr bool showOperationHints = true;

// Loaded values are brought into these ranges; a non-finite one falls back
// to the default.
inline constexpr double sensitivity = 1.5;
inline constexpr double minimumSensitivity = 0.5;
inline constexpr double maximumSensitivity = 3.0;
inline constexpr double edgeWidth = 0.08;  // a share of the trackpad's side
inline constexpr double minimumEdgeWidth = 0.02;
inline constexpr double maximumEdgeWidth = 0.3;

}  // namespace settings_default

}  // namespace glidra
