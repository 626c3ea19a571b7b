#include "platform/linux/GSettingsDesktopPreferences.h"

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
    if (!source) source = g_settings_schema_source_get_default();
    if (!source) return;
    for (const Switch& candidate : switches) {
        // Creating settings for a schema that is not installed aborts the
        // process, so the schema is looked up first.
        GSettingsSchema* schema = g_settings_schema_source_lookup(source, candidate.schema.constData(), TRUE);
        if (!schema) continue;
        bool usable = false;
        if (g_settings_schema_has_key(schema, candidate.key.constData())) {
            GSettingsSchemaKey* key = g_settings_schema_get_key(schema, candidate.key.constData());
            usable = g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_BOOLEAN);
            g_settings_schema_key_unref(key);
        }
        if (usable) {
            settings_ = g_settings_new_full(schema, backend, nullptr);
            key_ = candidate.key;
        }
        g_settings_schema_unref(schema);
        if (settings_) break;
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
