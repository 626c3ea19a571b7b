#pragma once

using GSettings = struct _GSettings;
using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::linux_platform {

// Settings for a Boolean key of a desktop's schema, looked up in `source`
// (the installed schemas when null) and stored through `backend` (the user's
// settings when null); null when the schema is not installed or the key is
// missing or not a Boolean. Creating settings for a schema that is not
// installed aborts the process, so it is looked up first. The caller owns the
// settings (g_object_unref).
GSettings* openBooleanKey(GSettingsSchemaSource* source, const char* schema, const char* key,
                          GSettingsBackend* backend);

}  // namespace glidra::linux_platform
