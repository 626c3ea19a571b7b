#include "actions/ShortcutTarget.h"

#include "common/LineBreaks.h"

namespace glidra {

std::vector<ShortcutTarget> ShortcutTarget::parseList(const QString& output) {
    std::vector<ShortcutTarget> targets;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= output.size(); ++i) {
        if (i < output.size() && !isLineBreak(output[i])) continue;
        const QStringView line = QStringView(output).mid(start, i - start);
        start = i + 1;
        // A name may hold " (" itself: the identifier follows the last one.
        if (!line.endsWith(QLatin1Char(')'))) continue;
        const qsizetype open = line.lastIndexOf(QLatin1String(" ("));
        if (open < 0) continue;
        const QString id = line.mid(open + 2, line.size() - open - 3).toString();
        if (!json::parseUuid(id)) continue;
        targets.push_back(ShortcutTarget{id, line.left(open).toString()});
    }
    return targets;
}

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
