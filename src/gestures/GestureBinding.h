#pragma once

#include "actions/ActionParameters.h"
#include "actions/ApplicationTarget.h"
#include "actions/GestureAction.h"
#include "actions/KeyboardShortcut.h"
#include "common/Json.h"
#include "gestures/GestureTrigger.h"
#include "gestures/SlideDistance.h"

#include <optional>
#include <vector>

namespace glidra {

// One edge trigger and the action it runs, with whatever that action needs.
// action none means nothing is bound.
struct GestureBinding {
    GestureTrigger trigger = GestureTrigger::leftUp;
    GestureAction action = GestureAction::none;
    std::optional<SlideDistance> slideDistance;  // absent: the edge routing's default
    std::optional<KeyboardShortcut> shortcut;    // for customShortcut
    std::optional<ActionParameters> parameters;
    std::optional<ApplicationTarget> applicationTarget;  // for openApplication

    // One binding per trigger in case order, each with the trigger's default
    // action and nothing else set.
    static std::vector<GestureBinding> defaultBindings();

    // The parameters, or the empty ones when the binding has none.
    ActionParameters resolvedParameters() const;

    QJsonValue toJson() const;
    static JsonResult<GestureBinding> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const GestureBinding&, const GestureBinding&) = default;
};

}  // namespace glidra
