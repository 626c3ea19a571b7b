#include "platform/linux/GSettingsDesktopPreferences.h"

#include "platform/linux/GSettingsBooleanKey.h"

#include <gio/gio.h>

namespace glidra::linux_platform {

std::vector<GSettingsDesktopPreferences::Switch> GSettingsDesktopPreferences::knownSwitches() {
    std::vector<Switch> switches = {{"org.mate.background", "show-desktop-icons"},
                                    {"org.nemo.desktop", "show-desktop-icons"}};
    if (qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("Cinnamon"), Qt::CaseInsensitive)) {
        std::swap(switches[0], switches[1]);
    }
    return switches;
}

GSettingsDesktopPreferences::GSettingsDesktopPreferences(const std::vector<Switch>& switches,
                                                         GSettingsSchemaSource* source, GSettingsBackend* backend) {
    for (const Switch& candidate : switches) {
        settings_ = openBooleanKey(source, candidate.schema.constData(), candidate.key.constData(), backend);
        if (!settings_) continue;
        key_ = candidate.key;
        break;
    }
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
