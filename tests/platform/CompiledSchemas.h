#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

using GSettingsSchemaSource = struct _GSettingsSchemaSource;
using GSettingsBackend = struct _GSettingsBackend;

namespace glidra::test {

// Desktop schemas compiled into a folder of the test's own, with settings
// kept in memory, so neither the machine's schemas nor the user's settings
// count.
class CompiledSchemas {
public:
    // Compiles the schema list (a gschema.xml document).
    explicit CompiledSchemas(const QByteArray& schemaList);
    ~CompiledSchemas();
    CompiledSchemas(const CompiledSchemas&) = delete;
    CompiledSchemas& operator=(const CompiledSchemas&) = delete;

    // Why the schemas are not there: the compiler is missing (skip the test)
    // or failed.
    bool compilerMissing() const { return compilerMissing_; }
    bool isReady() const { return source_ != nullptr; }

    GSettingsSchemaSource* source() const { return source_; }
    GSettingsBackend* backend() const { return backend_; }

    // The Boolean stored for the key.
    bool storedBoolean(const char* schema, const char* key) const;

private:
    QTemporaryDir folder_;
    bool compilerMissing_ = false;
    GSettingsSchemaSource* source_ = nullptr;
    GSettingsBackend* backend_ = nullptr;
};

}  // namespace glidra::test
