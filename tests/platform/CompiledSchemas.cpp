#include "platform/CompiledSchemas.h"

#include "support/SpawnedProcess.h"

#include <QFile>
#include <QStandardPaths>

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

namespace glidra::test {

CompiledSchemas::CompiledSchemas(const QByteArray& schemaList) {
    const QString compiler = QStandardPaths::findExecutable(QStringLiteral("glib-compile-schemas"));
    if (compiler.isEmpty()) {
        compilerMissing_ = true;
        return;
    }
    QFile file(folder_.filePath(QStringLiteral("glidra-test.gschema.xml")));
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(schemaList);
    file.close();
    const auto compiled = runToEnd(QFile::encodeName(compiler), {QFile::encodeName(folder_.path())});
    if (!compiled || compiled->exitCode != 0) return;
    source_ = g_settings_schema_source_new_from_directory(QFile::encodeName(folder_.path()).constData(), nullptr, TRUE,
                                                          nullptr);
    backend_ = g_memory_settings_backend_new();
}

CompiledSchemas::~CompiledSchemas() {
    if (backend_) g_object_unref(backend_);
    if (source_) g_settings_schema_source_unref(source_);
}

bool CompiledSchemas::storedBoolean(const char* schema, const char* key) const {
    GSettingsSchema* found = g_settings_schema_source_lookup(source_, schema, FALSE);
    GSettings* settings = g_settings_new_full(found, backend_, nullptr);
    const bool value = g_settings_get_boolean(settings, key);
    g_object_unref(settings);
    g_settings_schema_unref(found);
    return value;
}

}  // namespace glidra::test
