#include "gestures/EdgeConfiguration.h"

namespace glidra {

QJsonValue EdgeConfiguration::toJson() const {
    return JsonObjectWriter()
        .set(u"isSplit", isSplit)
        .set(u"mergedMode", mergedMode)
        .set(u"splitBindings", splitBindings);
}

JsonResult<EdgeConfiguration> EdgeConfiguration::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    EdgeConfiguration configuration;
    configuration.isSplit = in.required<bool>(u"isSplit");
    configuration.mergedMode = in.required<EdgeControlMode>(u"mergedMode");
    configuration.splitBindings = in.optional<std::vector<GestureBinding>>(u"splitBindings");
    if (in.failed()) return Failure{in.error()};
    return configuration;
}

}  // namespace glidra
