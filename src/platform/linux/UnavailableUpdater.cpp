#include "platform/linux/UnavailableUpdater.h"

namespace glidra::linux_platform {

std::optional<QString> UnavailableUpdater::start() {
    return QStringLiteral("No update framework is available on this system.");
}

UpdaterFactory UnavailableUpdater::factory() {
    return [](const Updater::Configuration&) -> std::unique_ptr<Updater> {
        return std::make_unique<UnavailableUpdater>();
    };
}

}  // namespace glidra::linux_platform
