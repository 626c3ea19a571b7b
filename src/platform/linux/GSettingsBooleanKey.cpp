#include "platform/linux/GSettingsBooleanKey.h"

#include <gio/gio.h>

namespace glidra::linux_platform {

GSettings* openBooleanKey(GSettingsSchemaSource* source, const char* schema, const char* key,
                          GSettingsBackend* backend) {
    if (!source) source = g_settings_schema_source_get_default();
    if (!source) return nullptr;
    GSettingsSchema* found = g_settings_schema_source_lookup(source, schema, TRUE);
    if (!found) return nullptr;
    bool usable = false;
    if (g_settings_schema_has_key(found, key)) {
        GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(found, key);
        usable = g_variant_type_equal(g_settings_schema_key_get_value_type(schemaKey), G_VARIANT_TYPE_BOOLEAN);
        g_settings_schema_key_unref(schemaKey);
    }
    GSettings* settings = usable ? g_settings_new_full(found, backend, nullptr) : nullptr;
    g_settings_schema_unref(found);
    return settings;
}

}  // namespace glidra::linux_platform
