#include "actions/ResourceTarget.h"

namespace glidra {

QJsonValue ResourceTarget::toJson() const {
    return JsonObjectWriter().set(u"path", path).set(u"name", name).set(u"bookmark", bookmark);
}

JsonResult<ResourceTarget> ResourceTarget::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    ResourceTarget target;
    target.path = in.required<QString>(u"path");
    target.name = in.required<QString>(u"name");
    target.bookmark = in.optional<QByteArray>(u"bookmark");
    if (in.failed()) return Failure{in.error()};
    return target;
}

}  // namespace glidra
