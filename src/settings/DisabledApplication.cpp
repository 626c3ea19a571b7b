#include "settings/DisabledApplication.h"

#include "platform/ApplicationId.h"

#include <algorithm>

namespace glidra {

QJsonValue DisabledApplication::toJson() const {
    return JsonObjectWriter().set(u"bundleIdentifier", bundleIdentifier).set(u"name", name);
}

JsonResult<DisabledApplication> DisabledApplication::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    DisabledApplication application;
    application.bundleIdentifier = in.required<QString>(u"bundleIdentifier");
    application.name = in.required<QString>(u"name");
    if (in.failed()) return Failure{in.error()};
    application.bundleIdentifier = currentApplicationId(application.bundleIdentifier);
    return application;
}

bool contains(std::span<const DisabledApplication> applications, const std::optional<QString>& bundleIdentifier) {
    if (!bundleIdentifier || bundleIdentifier->isEmpty()) return false;
    return std::any_of(applications.begin(), applications.end(), [&](const DisabledApplication& application) {
        return application.bundleIdentifier == *bundleIdentifier;
    });
}

}  // namespace glidra
