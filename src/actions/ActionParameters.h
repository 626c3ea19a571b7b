#pragma once

#include "actions/GestureAction.h"
#include "actions/ResourceTarget.h"
#include "actions/ShortcutTarget.h"
#include "common/Json.h"

#include <QString>
#include <QUrl>

#include <optional>

namespace glidra {

// What openFile, openFolder, openURL and runShortcut need beyond their name.
struct ActionParameters {
    std::optional<ResourceTarget> resource;
    std::optional<QString> website;  // as typed
    std::optional<ShortcutTarget> shortcut;

    // The web address a typed text stands for: http or https only, with a
    // host, without user or password; a text without ":" gets "https://".
    static std::optional<QUrl> websiteURL(const QString& text);

    // Why these parameters are not enough for `action`; nothing when they are.
    std::optional<QString> validationMessage(GestureAction action) const;

    QJsonValue toJson() const;
    static JsonResult<ActionParameters> fromJson(const QJsonValue& json, const JsonPath& path);

    friend bool operator==(const ActionParameters&, const ActionParameters&) = default;
};

}  // namespace glidra
