#include "platform/linux/GSettingsDesktopPreferences.h"

#include "platform/linux/GSettingsBooleanKey.h"

#include <gio/gio.h>

namespace glidra::linux_platform {

std::optional<GSettingsDesktopPreferences::Switch> GSettingsDesktopPreferences::switchFor(
    const QString& currentDesktop) {
    if (namesDesktop(currentDesktop, u"MATE")) return Switch{"org.mate.background", "show-desktop-icons"};
    if (namesDesktop(currentDesktop, u"X-Cinnamon") || namesDesktop(currentDesktop, u"Cinnamon")) {
        return Switch{"org.nemo.desktop", "show-desktop-icons"};
    }
    return std::nullopt;
}

GSettingsDesktopPreferences::GSettingsDesktopPreferences(const std::optional<Switch>& desktopSwitch,
                                                         GSettingsSchemaSource* source, GSettingsBackend* backend) {
    if (!desktopSwitch) return;
    settings_ = openBooleanKey(source, desktopSwitch->schema.constData(), desktopSwitch->key.constData(), backend);
    if (settings_) key_ = desktopSwitch->key;
}

GSettingsDesktopPreferences::~GSettingsDesktopPreferences() {
    if (settings_) g_object_unref(settings_);
}

std::optional<DefaultsValue> GSettingsDesktopPreferences::showDesktopIcons() const {
    if (!settings_) return std::nullopt;
    return DefaultsValue(bool(g_settings_get_boolean(settings_, key_.constData())));
}

// The write goes to the settings store in the background; waiting for it
// could stall on a store that does not answer.
bool GSettingsDesktopPreferences::synchronize() {
    if (!settings_) return false;
    if (!staged_) {
        if (!g_settings_is_writable(settings_, key_.constData())) return false;
        g_settings_reset(settings_, key_.constData());
        return true;
    }
    if (!std::holds_alternative<bool>(*staged_)) return false;
    return g_settings_set_boolean(settings_, key_.constData(), std::get<bool>(*staged_));
}

}  // namespace glidra::linux_platform
