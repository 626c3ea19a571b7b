#include "actions/ActionParameters.h"

#include "common/Localized.h"

#include <algorithm>

namespace glidra {

namespace {

bool containsWhiteSpace(const QString& text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

}  // namespace

std::optional<QUrl> ActionParameters::websiteURL(const QString& text) {
    QString address = text.trimmed();
    if (address.isEmpty()) return std::nullopt;
    // Only a text without any ":" is taken as scheme-less: "example.com:8080"
    // reads as scheme "example.com" and is refused below.
    if (!address.contains(QLatin1Char(':'))) address.prepend(QStringLiteral("https://"));

    // Strict parsing: a typed address with a raw blank, a stray "%" or another
    // character a URL may not hold is refused, not silently encoded into
    // something the user did not write.
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid()) return std::nullopt;

    const QString scheme = url.scheme().toLower();
    if (scheme != u"https" && scheme != u"http") return std::nullopt;

    const QString host = url.host();
    if (host.isEmpty() || containsWhiteSpace(host)) return std::nullopt;

    // QUrl reports an empty user ("https://@host") as no user at all; the
    // authority still shows the "@".
    if (!url.userInfo().isEmpty() || url.authority(QUrl::FullyEncoded).contains(QLatin1Char('@'))) {
        return std::nullopt;
    }
    return url;
}

std::optional<QString> ActionParameters::validationMessage(GestureAction action) const {
    switch (action) {
        case GestureAction::openFile:
        case GestureAction::openFolder:
            if (resource) return std::nullopt;
            return localized(GLIDRA_TEXT("请先选择要打开的")) +
                   localized(action == GestureAction::openFile ? GLIDRA_TEXT("文件") : GLIDRA_TEXT("文件夹")) +
                   localized(GLIDRA_TEXT("。"));
        case GestureAction::openURL:
            if (websiteURL(website.value_or(QString()))) return std::nullopt;
            return localized(GLIDRA_TEXT("请输入有效网址，例如 example.com。"));
        case GestureAction::runShortcut:
            if (shortcut) return std::nullopt;
            return localized(GLIDRA_TEXT("请先选择快捷指令。"));
        default:
            return std::nullopt;
    }
}

QJsonValue ActionParameters::toJson() const {
    return JsonObjectWriter().set(u"resource", resource).set(u"website", website).set(u"shortcut", shortcut);
}

JsonResult<ActionParameters> ActionParameters::fromJson(const QJsonValue& json, const JsonPath& path) {
    JsonObjectReader in(json, path);
    ActionParameters parameters;
    parameters.resource = in.optional<ResourceTarget>(u"resource");
    parameters.website = in.optional<QString>(u"website");
    parameters.shortcut = in.optional<ShortcutTarget>(u"shortcut");
    if (in.failed()) return Failure{in.error()};
    return parameters;
}

}  // namespace glidra
