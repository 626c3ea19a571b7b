// Loads arbitrary bytes as the settings file, with the rules, bindings and
// edge configurations decoded from it. Whatever the file holds, loading ends
// in settings (16 bindings in trigger order); what was loaded, written back,
// loads again as the same settings. An input whose first byte is odd is not
// the file but the JSON that the file holds, base64-encoded, as the rules,
// the bindings, the edge configurations and the paused applications alike,
// so that the decoders meet JSON rather than broken base64.

#include "gestures/GestureTrigger.h"
#include "platform/linux/JsonFileUserDefaults.h"
#include "settings/ControlSettings.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using glidra::ControlSettings;
using glidra::linux_platform::JsonFileUserDefaults;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "settings file fuzzer: %s\n", what);
    std::abort();
}

QTemporaryDir* folder = nullptr;

void checkBindings(const ControlSettings& settings) {
    const auto triggers = glidra::enumAllCases<glidra::GestureTrigger>();
    if (settings.bindings().size() != triggers.size()) fail("loaded bindings are not one per trigger");
    for (std::size_t i = 0; i < triggers.size(); ++i) {
        if (settings.bindings()[i].trigger != triggers[i]) fail("loaded bindings are out of trigger order");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication application(*argc, *argv);
    QLoggingCategory::setFilterRules(QStringLiteral("*=false"));
    // In memory where there is a tmpfs: every write syncs the file.
    folder = QDir(QStringLiteral("/dev/shm")).exists()
                 ? new QTemporaryDir(QStringLiteral("/dev/shm/glidra-settings-fuzzer-XXXXXX"))
                 : new QTemporaryDir;
    if (!folder->isValid()) fail("no scratch folder");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A fresh folder each time: a file set aside by one input is no part of
    // the next.
    QDir scratch(folder->path());
    for (const QString& name : scratch.entryList(QDir::Files | QDir::Hidden | QDir::System)) scratch.remove(name);
    if (size == 0) return 0;
    QByteArray contents(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if ((data[0] & 1) != 0) {
        const QJsonObject stored{{QStringLiteral("data"), QString::fromLatin1(contents.toBase64())}};
        QJsonObject document;
        for (const auto key : {glidra::settings_key::rules, glidra::settings_key::bindings,
                               glidra::settings_key::edgeConfigurations, glidra::settings_key::disabledApplications}) {
            document.insert(QString(key), stored);
        }
        contents = QJsonDocument(document).toJson();
    }
    const QString path = folder->filePath(QStringLiteral("settings.json"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) fail("cannot write the settings file");
        file.write(contents);
    }

    const std::chrono::milliseconds lockTimeout(100);
    JsonFileUserDefaults defaults(path, lockTimeout);
    ControlSettings settings(defaults);
    checkBindings(settings);
    if (!defaults.failure().isEmpty()) return 0;

    const auto rules = settings.rules();
    const auto bindings = settings.bindings();
    const auto edges = settings.edgeConfigurations();
    settings.setRules(rules);
    settings.setBindings(bindings);
    settings.setEdgeConfigurations(edges);
    if (!settings.lastWriteFailure().isEmpty()) fail("loaded settings do not write back");

    JsonFileUserDefaults again(path, lockTimeout);
    ControlSettings reloaded(again);
    if (!(reloaded.rules() == rules)) fail("written rules load back different");
    if (!(reloaded.bindings() == bindings)) fail("written bindings load back different");
    if (!(reloaded.edgeConfigurations() == edges)) fail("written edge configurations load back different");
    return 0;
}
