#include "gestures/GestureBinding.h"

namespace glidra {

std::vector<GestureBinding> GestureBinding::defaultBindings() {
    std::vector<GestureBinding> bindings;
    bindings.reserve(enumRows<GestureTrigger>().size());
    for (const auto& row : enumRows<GestureTrigger>()) {
        GestureBinding binding;
        binding.trigger = row.value;
        binding.action = row.defaultAction;
        bindings.push_back(std::move(binding));
    }
    return bindings;
}

ActionParameters GestureBinding::resolvedParameters() const { return parameters.value_or(ActionParameters{}); }

QJsonValue GestureBinding::toJson() const {
    return JsonObjectWriter()
        .set(u"trigger", trigger)
        .set(u"action", action)
        .set(u"slideDistance", slideDistance)
        .set(u"shortcut", shortcut)
        .set(u"parameters", parameters)
        .set(u"applicationTarget", applicationTarget);
}

JsonResult<GestureBinding> GestureBinding::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    GestureBinding binding;
    binding.trigger = in.required<GestureTrigger>(u"trigger");
    binding.action = in.required<GestureAction>(u"action");
    binding.slideDistance = in.optional<SlideDistance>(u"slideDistance");
    binding.shortcut = in.optional<KeyboardShortcut>(u"shortcut");
    binding.parameters = in.optional<ActionParameters>(u"parameters");
    binding.applicationTarget = in.optional<ApplicationTarget>(u"applicationTarget");
    if (in.failed()) return Failure{in.error()};
    return binding;
}

}  // namespace glidra
