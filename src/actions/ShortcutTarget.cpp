#include "actions/ShortcutTarget.h"

namespace glidra {

QJsonValue ShortcutTarget::toJson() const { return JsonObjectWriter().set(u"id", id).set(u"name", name); }

JsonResult<ShortcutTarget> ShortcutTarget::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    ShortcutTarget target;
    target.id = in.required<QString>(u"id");
    target.name = in.required<QString>(u"name");
    if (in.failed()) return Failure{in.error()};
    return target;
}

}  // namespace glidra
