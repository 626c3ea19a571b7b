#pragma once

#include "actions/ActionParameters.h"
#include "actions/ApplicationTarget.h"
#include "actions/GestureAction.h"
#include "actions/KeyboardShortcut.h"

#include <QMetaType>

#include <optional>

namespace glidra {

// The fields of a gesture rule or an edge binding that say what runs: the
// action and what it needs. The configuration views take them and hand them
// back together, so an owner stores an edit as one change of its rule or
// binding.
struct ActionConfiguration {
    GestureAction action = GestureAction::none;
    std::optional<ActionParameters> parameters;
    std::optional<ApplicationTarget> applicationTarget;
    std::optional<KeyboardShortcut> shortcut;

    friend bool operator==(const ActionConfiguration&, const ActionConfiguration&) = default;

    // The parameters as the parameter editor edits them: the empty ones while
    // none are stored. An edit stores them, present from then on.
    ActionParameters editableParameters() const { return parameters.value_or(ActionParameters{}); }

    template <typename Owner>
    static ActionConfiguration of(const Owner& owner) {
        return {owner.action, owner.parameters, owner.applicationTarget, owner.shortcut};
    }
    template <typename Owner>
    void applyTo(Owner& owner) const {
        owner.action = action;
        owner.parameters = parameters;
        owner.applicationTarget = applicationTarget;
        owner.shortcut = shortcut;
    }
};

}  // namespace glidra

Q_DECLARE_METATYPE(glidra::ActionConfiguration)
